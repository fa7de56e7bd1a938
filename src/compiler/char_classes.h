// Character classes: which bytes of a single-byte / Shift-JIS text are single-byte characters.
// Every parser of the language honours a syntax character only where its class is
// CLASS_SINGLE; the bytes of a double-byte character are always plain text.
#pragma once

#include <array>
#include <cstdint>

#include "base/limits.h"

namespace plotwright {

inline constexpr std::int32_t CLASS_END = 0;
inline constexpr std::int32_t CLASS_SINGLE = 1;
inline constexpr std::int32_t CLASS_SYMBOL = 2;    // lead 0x81: full-width space, punctuation
inline constexpr std::int32_t CLASS_DIGIT = 3;     // lead 0x82, trail 0x4F..0x59
inline constexpr std::int32_t CLASS_LATIN = 4;     // lead 0x82, trail 0x60..0x9A
inline constexpr std::int32_t CLASS_HIRAGANA = 5;  // lead 0x82, trail 0x9F..0xF1
inline constexpr std::int32_t CLASS_KATAKANA = 6;  // lead 0x83, trail 0x40..0x95
inline constexpr std::int32_t CLASS_OTHER = 7;
inline constexpr std::int32_t CLASS_TRAIL = -1;  // second byte of a double-byte character

// One entry per byte of a working text, with room for a trail entry past the last byte.
using ClassArray = std::array<std::int32_t, kTextCapacity + 1>;

bool is_lead_byte(unsigned char byte);
bool is_ascii_digit(unsigned char byte);
// The first six bytes are ASCII digits (a terminator among them makes it false).
bool is_six_digits(const char* text);

// Fills `classes` for `text` from position 0 until its terminator, which gets CLASS_END, or
// until `limit` positions are classified; a double-byte character whose lead byte stands at
// limit - 1 still gets its trail entry at `limit`. `classes` must hold limit + 1 entries.
// The engine classifies its texts in full (the default limit); the source reader's
// continuation test uses the narrower kContinuationWindow. A lead byte directly before the
// terminator gets its double-byte class, and the terminator gets CLASS_END. Returns 0.
int classify_text(const char* text, std::int32_t* classes, int limit = kTextCapacity);

// The position of the first byte at or after `position` that is not a blank (a space, a tab
// or the full-width space 0x81 0x40), looking no further than `limit`.
inline int skip_blanks(const char* text, int position, int limit) {
  while (position < limit) {
    const auto byte = static_cast<unsigned char>(text[position]);
    if (byte == ' ' || byte == '\t') {
      ++position;
    } else if (byte == 0x81 && static_cast<unsigned char>(text[position + 1]) == 0x40) {
      position += 2;
    } else {
      break;
    }
  }
  return position;
}

inline bool is_single(const std::int32_t* classes, int position) {
  return classes[position] == CLASS_SINGLE;
}

}  // namespace plotwright
