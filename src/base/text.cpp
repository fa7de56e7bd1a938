// The language's number conversion, pinned to the C locale.
#include "base/text.h"

#include <cstdlib>
#ifndef _WIN32
#include <locale.h>
#endif

namespace plotwright {

namespace {

#ifdef _WIN32

// Windows has no strtod_l with C99's syntax (hexadecimal, infinity): its C library's _strtod_l
// predates them. MinGW's strtod has them, and a Windows program runs in the "C" locale until
// it calls setlocale, which the command-line program never does.
double strtod_c(const char* text, char** end) {
  return std::strtod(text, end);
}

#else

// The "C" locale, made once and never changed: a front end may set the process locale (a
// decimal comma would otherwise change what `[%n=1.5]` means).
double strtod_c(const char* text, char** end) {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(text, end, locale);
}

#endif

}  // namespace

bool parse_number(const char* text, double& out) {
  char* end = nullptr;
  const double value = strtod_c(text, &end);
  if (end == text) return false;
  out = value;
  return true;
}

std::string too_long_message() {
  return "is longer than " + std::to_string(kMaxScenarioBytes >> 20) +
         " MiB, more than any scenario holds";
}

}  // namespace plotwright
