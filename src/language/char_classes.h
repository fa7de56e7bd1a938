// Character classes: which bytes of a single-byte / Shift-JIS text are single-byte characters.
// Every parser of the language honours a syntax character only where its class is
// CharClass::SINGLE; the bytes of a double-byte character are always plain text.
#pragma once

#include <array>
#include <cstdint>

#include "base/limits.h"

namespace plotwright {

enum class CharClass : std::int8_t {
  END = 0,     // the terminator
  SINGLE = 1,  // a single-byte character: the only bytes that may be syntax
  LEAD = 2,    // first byte of a double-byte character
  TRAIL = -1,  // second byte of a double-byte character
};

// One entry per byte of a working text, with room for a trail entry past the last byte.
using ClassArray = std::array<CharClass, kTextCapacity + 1>;

// The first six bytes are ASCII digits (a terminator among them makes it false).
bool is_six_digits(const char* text);

// Fills `classes` for `text` from position 0 until its terminator, which gets END, or until
// `limit` positions are classified; a double-byte character whose lead byte stands at
// limit - 1 still gets its trail entry at `limit`. `classes` must hold limit + 1 entries.
// A lead byte directly before the terminator is a LEAD, and the terminator is END.
void classify_text(const char* text, CharClass* classes, int limit = kTextCapacity);

// A single-byte blank: a space or a tab.
inline bool is_ascii_blank(char byte) {
  return byte == ' ' || byte == '\t';
}

// The position of the first byte at or after `position` that is not a blank (a space, a tab
// or the full-width space 0x81 0x40), looking no further than `limit`.
inline int skip_blanks(const char* text, int position, int limit) {
  while (position < limit) {
    if (is_ascii_blank(text[position])) {
      ++position;
    } else if (static_cast<unsigned char>(text[position]) == 0x81 &&
               static_cast<unsigned char>(text[position + 1]) == 0x40) {
      position += 2;
    } else {
      break;
    }
  }
  return position;
}

}  // namespace plotwright
