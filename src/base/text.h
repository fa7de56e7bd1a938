// Small helpers over zero-terminated byte texts and the number conversion of the language.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "base/limits.h"

namespace plotwright {

// A working text: kTextCapacity bytes of text room and a terminator.
using TextBuffer = std::array<char, kTextCapacity + 1>;

// Length of a text, counting at most `limit` bytes.
inline int bounded_length(const char* text, int limit = kTextCapacity) {
  const void* zero = std::memchr(text, '\0', static_cast<std::size_t>(limit));
  return zero ? static_cast<int>(static_cast<const char*>(zero) - text) : limit;
}

// Copies at most `max_length` bytes of `text` into `out` and terminates it; returns the length.
inline int copy_text(char* out, const char* text, int max_length) {
  const int length = bounded_length(text, max_length);
  std::memcpy(out, text, static_cast<std::size_t>(length));
  out[length] = '\0';
  return length;
}

// Converts the start of `text` as a decimal floating-point number the way the C conversion
// "%lf" does (white space skipped, sign, digits, point, exponent), independent of the
// process's locale. Returns false, leaving `out` alone, when the text does not begin with a
// number.
bool parse_number(const char* text, double& out);

// What every way a scenario comes in says of one longer than kMaxScenarioBytes, after the
// file's name or "the scenario": "is longer than 256 MiB, more than any scenario holds".
std::string too_long_message();

}  // namespace plotwright
