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
inline std::size_t decode(std::string_view text, std::size_t offset, char32_t& code_point) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + offset;
  const std::size_t left = text.size() - offset;
  const auto follows = [&](std::size_t k) { return (p[k] & 0xC0) == 0x80; };
  const char32_t lead = p[0];
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  if (lead < 0xE0) {
    if (lead < 0xC2 || left < 2 || !follows(1)) return 0;
    code_point = (lead & 0x1F) << 6 | (p[1] & 0x3F);
    return 2;
  }
  if (lead < 0xF0) {
    if (left < 3 || !follows(1) || !follows(2)) return 0;
    const char32_t code = (lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    if (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    code_point = code;
    return 3;
  }
  if (lead > 0xF4 || left < 4 || !follows(1) || !follows(2) || !follows(3)) return 0;
  const char32_t code =
      (lead & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
  if (code < 0x10000 || code > 0x10FFFF) return 0;
  code_point = code;
  return 4;
}

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
