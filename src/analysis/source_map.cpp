// Counting the characters before a byte of a physical line.
#include "analysis/source_map.h"

#include <algorithm>
#include <cstring>

namespace plotwright {

namespace {

// Single bytes: ASCII and half-width katakana; anything else leads a double-byte character.
bool is_single_byte(unsigned char byte) {
  return byte < 0x80 || (byte >= 0xA0 && byte < 0xE0);
}

}  // namespace

// Characters that start before byte `limit` (at most the line's length) of the current line,
// counting from the marked physical line's start. A double-byte character that `limit` falls
// inside counts.
int SourceMap::characters_before(int limit) {
  const auto* text = reinterpret_cast<const unsigned char*>(store_.lines()[line_]);
  const auto walk = [&](Mark from, int stop) {
    while (from.byte < stop) {
      from.byte += is_single_byte(text[from.byte]) ? 1 : 2;
      ++from.characters;
    }
    return from;
  };
  // Marks as far as `limit` reaches; a mark's byte may pass its multiple by one.
  for (int next = start_ + kMarkStride * static_cast<int>(marks_.size()); next <= limit;
       next += kMarkStride) {
    marks_.push_back(walk(marks_.back(), next));
  }
  // A mark past `limit` stands after the double-byte character `limit` falls inside, and that
  // character counts.
  const Mark& mark = marks_[(limit - start_) / kMarkStride];
  // Positions mostly come in order: the last one may be nearer than the mark.
  const Mark& from = last_.byte > mark.byte && last_.byte <= limit ? last_ : mark;
  last_ = walk(from, limit);
  return last_.characters;
}

SourcePosition SourceMap::position(int line, int offset) {
  const PhysicalPosition physical = store_.physical_position(line, offset);
  if (line != line_) {
    line_ = line;
    length_ = static_cast<int>(std::strlen(store_.lines()[line]));
    start_ = -1;
  }
  const int start = offset - physical.offset;
  if (start != start_) {
    start_ = start;
    marks_.assign(1, Mark{start, 0});
    last_ = marks_[0];
  }
  // A physical line starts within its logical line; past the line's end, each byte counts as
  // a character.
  const int characters =
      characters_before(std::min(offset, length_)) + std::max(0, offset - length_);
  return SourcePosition{physical.line, characters + 1};
}

SourceRange SourceMap::range(int line, int begin, int end) {
  return SourceRange{position(line, begin), position(line, end)};
}

SourceRange SourceMap::line_range(int line) {
  return range(line, 0, static_cast<int>(std::strlen(store_.lines()[line])));
}

}  // namespace plotwright
