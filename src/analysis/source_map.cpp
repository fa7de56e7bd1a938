// Counting the characters before a byte of a physical line.
#include "analysis/source_map.h"

#include <cstring>

namespace plotwright {

namespace {

// Single bytes: ASCII and half-width katakana; anything else leads a double-byte character.
bool is_single_byte(unsigned char byte) {
  return byte < 0x80 || (byte >= 0xA0 && byte < 0xE0);
}

}  // namespace

SourcePosition SourceMap::position(int line, int offset) const {
  const PhysicalPosition physical = store_.physical_position(line, offset);
  const auto* text = reinterpret_cast<const unsigned char*>(store_.lines()[line]);
  const int length = static_cast<int>(std::strlen(store_.lines()[line]));
  int characters = 0;
  for (int p = offset - physical.offset; p < offset && p < length; ++characters) {
    p += is_single_byte(text[p]) ? 1 : 2;
  }
  // Past the line's end, each byte counts as a character.
  if (offset > length) characters += offset - length;
  return SourcePosition{physical.line, characters + 1};
}

SourceRange SourceMap::range(int line, int begin, int end) const {
  return SourceRange{position(line, begin), position(line, end)};
}

SourceRange SourceMap::line_range(int line) const {
  return range(line, 0, static_cast<int>(std::strlen(store_.lines()[line])));
}

}  // namespace plotwright
