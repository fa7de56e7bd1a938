// Classifying the bytes of a text into single-byte characters and double-byte halves.
#include "compiler/char_classes.h"

namespace plotwright {

bool is_lead_byte(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}

bool is_ascii_digit(unsigned char byte) {
  return byte >= '0' && byte <= '9';
}

bool is_six_digits(const char* text) {
  for (int i = 0; i < 6; ++i) {
    if (!is_ascii_digit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

namespace {

std::int32_t double_byte_class(unsigned char lead, unsigned char trail) {
  if (lead == 0x81) return CLASS_SYMBOL;
  if (lead == 0x82 && trail >= 0x4F && trail <= 0x59) return CLASS_DIGIT;
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x9A) return CLASS_LATIN;
  if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) return CLASS_HIRAGANA;
  if (lead == 0x83 && trail >= 0x40 && trail <= 0x95) return CLASS_KATAKANA;
  return CLASS_OTHER;
}

}  // namespace

int classify_text(const char* text, std::int32_t* classes, int limit) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  int p = 0;
  while (p < limit) {
    const unsigned char byte = bytes[p];
    if (byte == 0) {
      classes[p] = CLASS_END;
      break;
    }
    if (byte < 0x80 || (byte >= 0xA0 && byte < 0xE0)) {
      classes[p++] = CLASS_SINGLE;
      continue;
    }
    const unsigned char trail = bytes[p + 1];
    classes[p] = double_byte_class(byte, trail);
    if (trail == 0) {
      classes[p + 1] = CLASS_END;
      break;
    }
    classes[p + 1] = CLASS_TRAIL;
    p += 2;
  }
  return 0;
}

}  // namespace plotwright
