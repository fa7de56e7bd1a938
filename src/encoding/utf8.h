// UTF-8 as scenario files and readers use it: strict decoding of single characters, the
// search for the first ill-formed one, writing, and naming characters and places in messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plotwright::utf8 {

// The length (1 to 4) of the character at `offset` of `text`, with its code point in
// `code_point`; 0 when the bytes there are no well-formed character: a stray continuation
// byte, a missing one, an overlong form, a surrogate, beyond U+10FFFF, or cut off by the end.
std::size_t decode(std::string_view text, std::size_t offset, char32_t& code_point);

// The offset of the first byte of the first ill-formed character of `text`, or npos.
std::size_t find_invalid(std::string_view text);

// How many bytes at the start of `text` are ASCII (below 0x80). Word at a time.
std::size_t ascii_length(std::string_view text);

// Writes the 1 to 4 bytes of a Unicode scalar value at `out`; returns the end.
inline char* write(char32_t code_point, char* out) {
  if (code_point < 0x80) {
    *out++ = static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    *out++ = static_cast<char>(0xC0 | code_point >> 6);
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    *out++ = static_cast<char>(0xE0 | code_point >> 12);
    *out++ = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | code_point >> 18);
    *out++ = static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

// "U+1F600 (😀)": a character as messages name it.
std::string describe(char32_t code_point);

// The 1-based number of the line of `text` that holds the byte at `offset`.
std::size_t line_number_at(std::string_view text, std::size_t offset);

// "line 3: byte 0x82 is not valid UTF-8", for the byte at `offset` of `text`.
std::string invalid_byte_message(std::string_view text, std::size_t offset);

}  // namespace plotwright::utf8
