// UTF-8 as scenario files and readers use it: strict decoding of single characters, the
// search for the first ill-formed one, writing, and naming characters and places in messages.
#include "encoding/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace plotwright::utf8 {

std::size_t find_invalid(std::string_view text) {
  for (std::size_t offset = 0; offset < text.size();) {
    if (static_cast<unsigned char>(text[offset]) < 0x80) {
      offset += ascii_length(text.substr(offset));
      continue;
    }
    char32_t code_point = 0;
    const std::size_t length = decode(text, offset, code_point);
    if (length == 0) return offset;
    offset += length;
  }
  return std::string_view::npos;
}

std::size_t ascii_length(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  std::size_t length = 0;
  for (; length + 8 <= text.size(); length += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + length, 8);
    if ((word & kHighBits) != 0) break;
  }
  while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) ++length;
  return length;
}

std::string describe(char32_t code_point) {
  char text[24];
  const int number =
      std::snprintf(text, sizeof text, "U+%04X (", static_cast<unsigned>(code_point));
  char* end = write(code_point, text + number);
  *end++ = ')';
  return std::string(text, end);
}

std::size_t line_number_at(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, offset);
  return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

std::string invalid_byte_message(std::string_view text, std::size_t offset) {
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[offset]));
  return "line " + std::to_string(line_number_at(text, offset)) + ": byte " + byte +
         " is not valid UTF-8";
}

}  // namespace plotwright::utf8
