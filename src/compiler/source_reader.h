// The scenario source reader: a scenario file's physical lines become the source line store,
// comment lines dropped and backslash continuations joined.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/line_source.h"

namespace plotwright {

// Where a byte of a logical line stood in the author's file.
struct PhysicalPosition {
  int line = 0;    // the physical line, 1-based, counting comment lines and continuations
  int offset = 0;  // the byte's offset within that physical line
};

// The logical lines of one load, zero-terminated, in one arena, and where each came from in
// the file. `lines()` ends with a null entry (the end mark); the compiled tables point into
// the arena, so the store must live as long as the compiled scenario.
class SourceStore {
 public:
  void clear();
  // Starts a logical line with the bytes of physical line `physical_line`.
  void begin_line(std::string_view bytes, int physical_line);
  // Continues the logical line being built with the next physical line's bytes.
  void continue_line(std::string_view bytes, int physical_line);
  // Forgets the logical line being built.
  void drop_last_line();
  // Makes the line pointers valid; call once after the last line. `physical_lines` is the
  // number of physical lines read.
  void finish(int physical_lines);

  const std::vector<const char*>& lines() const { return lines_; }
  int size() const { return static_cast<int>(starts_.size()); }
  int physical_lines() const { return physical_lines_; }

  // Where byte `offset` of logical line `line` (0-based) stood; offsets past the line's end
  // count on from its last physical line.
  PhysicalPosition physical_position(int line, int offset) const;
  // The physical lines logical line `line` came from, first and last.
  int first_physical_line(int line) const;
  int last_physical_line(int line) const;

 private:
  // The bytes of one physical line within its logical line.
  struct Segment {
    std::int32_t offset;  // where they start in the logical line
    std::int32_t physical_line;
  };

  std::string arena_;
  std::vector<std::size_t> starts_;          // by logical line: where it starts in the arena
  std::vector<std::int32_t> first_segment_;  // by logical line, and one past the last
  std::vector<Segment> segments_;
  std::vector<const char*> lines_{nullptr};
  int physical_lines_ = 0;
};

// Fills the store from the source. Returns true when the whole file was read, false when the
// store's limit of 199,999 lines was reached and the rest left unread. A physical line ends at its
// first zero byte. Lines of any length are kept whole, so no author's byte is lost; the
// parsers that work on a stored line look at no more than its first 4095 bytes.
[[nodiscard]] bool read_source_lines(LineSource& source, SourceStore& store);

}  // namespace plotwright
