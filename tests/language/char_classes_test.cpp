// Character classes: which bytes of a single-byte / Shift-JIS text may be syntax.
#include "language/char_classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

// The classes up to and including the terminator's END, as 'S'ingle, 'L'ead, 'T'rail, '.'.
std::string classes_of(const std::string& text, int limit = kTextCapacity) {
  std::vector<CharClass> classes(static_cast<std::size_t>(limit) + 2, CharClass::END);
  classify_text(text.c_str(), classes.data(), limit);
  std::string out;
  for (std::size_t i = 0; i <= text.size() && i <= static_cast<std::size_t>(limit); ++i) {
    out += classes[i] == CharClass::SINGLE  ? 'S'
           : classes[i] == CharClass::LEAD  ? 'L'
           : classes[i] == CharClass::TRAIL ? 'T'
                                            : '.';
  }
  return out;
}

TEST(ClassifyText, TellsSingleBytesFromTheHalvesOfDoubleByteCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "."},
      {"a~b", "SSS."},
      // Half-width katakana and DEL are single bytes; 0x80, 0x81..0x9F, 0xE0..0xFF lead.
      {"\xa0\xb1\xdf\x7f", "SSSS."},
      {"\x81\x40\x80\x41\x9f\x41\xe0\x41\xff\x41", "LTLTLTLTLT."},
      // A trail byte with the value of `|` is no `|`; the one after it is.
      {"\x95\x7c|", "LTS."},
      // A lead byte right before the terminator is a lead; the terminator stays the end.
      {"a\x81", "SL."},
  };
  for (const auto& [text, classes] : cases) EXPECT_EQ(classes_of(text), classes) << classes;
}

TEST(ClassifyText, DoubleByteCharacterAtTheLimitGetsItsTrailEntryBeyond) {
  for (const int limit : {kContinuationWindow, kTextCapacity}) {
    const std::string text = std::string(limit - 1, 'a') + "\x95\x5c" + "tail";
    EXPECT_EQ(classes_of(text, limit).substr(limit - 2), "SLT") << limit;
  }
}

}  // namespace
}  // namespace plotwright
