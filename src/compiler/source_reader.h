// The scenario source reader: a scenario file's physical lines become the source line store,
// comment lines dropped and backslash continuations joined.
#pragma once

#include <string>
#include <vector>

#include "compiler/line_source.h"

namespace plotwright {

// The logical lines of one load, zero-terminated, in one arena. `lines()` ends with a null
// entry (the end mark); the compiled tables point into the arena, so the store must live as
// long as the compiled scenario.
class SourceStore {
 public:
  void clear();
  void append(const std::string& line);
  // Makes the line pointers valid; call once after the last append.
  void finish();

  const std::vector<const char*>& lines() const { return lines_; }
  int size() const { return static_cast<int>(offsets_.size()); }

 private:
  std::string arena_;
  std::vector<std::size_t> offsets_;
  std::vector<const char*> lines_{nullptr};
};

// Fills the store from the source. Returns true when the whole file was read, false when the
// store's limit of 199,999 lines was reached and the rest left unread. A physical line ends at its
// first zero byte. Lines of any length are kept whole, so no author's byte is lost; the
// parsers that work on a stored line look at no more than its first 4095 bytes.
bool read_source_lines(LineSource& source, SourceStore& store);

}  // namespace plotwright
