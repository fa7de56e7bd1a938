// Splitting a text held in memory into physical lines.
#include "compiler/line_source.h"

#include <cstring>

namespace plotwright {

std::optional<std::string_view> MemoryLineSource::read_line() {
  if (position_ >= text_.size()) return std::nullopt;
  const char* start = text_.data() + position_;
  const std::size_t rest = text_.size() - position_;
  const void* newline = std::memchr(start, '\n', rest);
  std::size_t length = newline ? static_cast<const char*>(newline) - start : rest;
  position_ += newline ? length + 1 : length;
  if (newline && length > 0 && start[length - 1] == '\r') --length;
  return std::string_view(start, length);
}

}  // namespace plotwright
