// Terminal columns of UTF-8 text.
#include "authoring/text_width.h"

#include "encoding/utf8.h"

namespace plotwright {

namespace {

// The East Asian wide and full-width blocks: Hangul Jamo, CJK and Kana through Yi, Hangul
// syllables, compatibility ideographs, vertical and full-width forms, and the planes beyond.
bool is_wide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

int display_width(std::string_view text) {
  int width = 0;
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const std::size_t length = utf8::decode(text, at, c);
    at += length > 0 ? length : 1;  // a stray byte counts as one column
    width += length > 0 && is_wide(c) ? 2 : 1;
  }
  return width;
}

std::string pad_right(std::string_view utf8, int width) {
  std::string out(utf8);
  const int missing = width - display_width(utf8);
  if (missing > 0) out.append(static_cast<std::size_t>(missing), ' ');
  return out;
}

std::string pad_left(std::string_view utf8, int width) {
  const int missing = width - display_width(utf8);
  std::string out(missing > 0 ? static_cast<std::size_t>(missing) : 0, ' ');
  return out.append(utf8);
}

}  // namespace plotwright
