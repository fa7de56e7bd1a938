// The language's number conversion, pinned to the C locale.
#include "base/text.h"

#include <locale.h>
#include <clocale>
#include <cstdlib>

namespace plotwright {

namespace {

// The "C" locale, made once and never changed: a front end may set the process locale (a
// decimal comma would otherwise change what `[%n=1.5]` means).
locale_t c_locale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

bool parse_number(const char* text, double& out) {
  char* end = nullptr;
  const double value = strtod_l(text, &end, c_locale());
  if (end == text) return false;
  out = value;
  return true;
}

}  // namespace plotwright
