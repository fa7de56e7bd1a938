// Positions in the author's file: physical lines and columns in characters, from the source
// store's logical lines and byte offsets. A column counts characters, not bytes: a Shift-JIS
// double-byte character is one, and so is the UTF-8 character it came from.
#pragma once

#include "compiler/source_reader.h"

namespace plotwright {

struct SourcePosition {
  int line = 0;    // physical line, 1-based
  int column = 0;  // character column, 1-based
};

// From `begin` up to, not including, `end`.
struct SourceRange {
  SourcePosition begin;
  SourcePosition end;
};

inline bool operator<(const SourcePosition& a, const SourcePosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

class SourceMap {
 public:
  explicit SourceMap(const SourceStore& store) : store_(store) {}

  // Where byte `offset` of logical line `line` (0-based) stands.
  SourcePosition position(int line, int offset) const;
  // Bytes [begin, end) of logical line `line`.
  SourceRange range(int line, int begin, int end) const;
  // The whole of logical line `line`.
  SourceRange line_range(int line) const;

 private:
  const SourceStore& store_;
};

}  // namespace plotwright
