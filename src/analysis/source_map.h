// Positions in the author's file: physical lines and columns in characters, from the source
// store's logical lines and byte offsets. A column counts characters, not bytes: a Shift-JIS
// double-byte character is one, and so is the UTF-8 character it came from.
#pragma once

#include <vector>

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

// Counting characters from a physical line's start costs the bytes before the offset, so a
// line with thousands of positions would cost their product. The map remembers, for the
// physical line it counted last, the character count at a byte every kMarkStride bytes: a
// position on that line costs at most a stride of counting, in any order, and one after the
// last costs the bytes between them. One map per thread.
class SourceMap {
 public:
  explicit SourceMap(const SourceStore& store) : store_(store) {}

  // Where byte `offset` of logical line `line` (0-based) stands.
  SourcePosition position(int line, int offset);
  // Bytes [begin, end) of logical line `line`.
  SourceRange range(int line, int begin, int end);
  // The whole of logical line `line`.
  SourceRange line_range(int line);

 private:
  static constexpr int kMarkStride = 128;

  // The first character boundary at or after each multiple of the stride, with the number of
  // characters before it; mark 0 is the physical line's start.
  struct Mark {
    int byte;
    int characters;
  };
  int characters_before(int limit);

  const SourceStore& store_;
  int line_ = -1;   // the logical line the marks are on
  int length_ = 0;  // its length in bytes
  int start_ = -1;  // where the physical line the marks count from starts in it
  std::vector<Mark> marks_;
  Mark last_{0, 0};  // the last position counted on that physical line
};

}  // namespace plotwright
