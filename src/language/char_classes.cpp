// Classifying the bytes of a text into single-byte characters and double-byte halves.
#include "language/char_classes.h"

namespace plotwright {

bool is_six_digits(const char* text) {
  for (int i = 0; i < 6; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

void classify_text(const char* text, CharClass* classes, int limit) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  int p = 0;
  while (p < limit) {
    const unsigned char byte = bytes[p];
    if (byte == 0) {
      classes[p] = CharClass::END;
      return;
    }
    if (byte < 0x80 || (byte >= 0xA0 && byte < 0xE0)) {
      classes[p++] = CharClass::SINGLE;
      continue;
    }
    classes[p] = CharClass::LEAD;
    if (bytes[p + 1] == 0) {
      classes[p + 1] = CharClass::END;
      return;
    }
    classes[p + 1] = CharClass::TRAIL;
    p += 2;
  }
}

}  // namespace plotwright
