// Character classes: which bytes of a single-byte / Shift-JIS text may be syntax.
#include "compiler/char_classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

constexpr std::int32_t kUntouched = 99;

// The classes up to and including the terminator's CLASS_END.
std::vector<std::int32_t> classes_of(const std::string& text) {
  ClassArray classes;
  classes.fill(kUntouched);
  classify_text(text.c_str(), classes.data());
  return std::vector(classes.begin(), classes.begin() + text.size() + 1);
}

TEST(ClassifyText, GivesEachDoubleByteCharacterItsClassAtEveryRangeBoundary) {
  // Any 0x81 lead is a symbol; 0x82 has digits, Latin letters and hiragana; 0x83 katakana,
  // one of them with a backslash trail; 0x9F, 0xE0 and 0xFD to 0xFF lead too.
  const std::pair<const char*, std::int32_t> cases[] = {
      {"\x81\x40", 2}, {"\x82\x4f", 3}, {"\x82\x59", 3}, {"\x82\x5a", 7}, {"\x82\x9a", 4},
      {"\x82\x9b", 7}, {"\x82\xa0", 5}, {"\x82\xf1", 5}, {"\x82\xf2", 7}, {"\x83\x95", 6},
      {"\x83\x96", 7}, {"\x83\x5c", 6}, {"\x80\x41", 7}, {"\x9f\x41", 7}, {"\xe0\x41", 7},
      {"\xfd\x41", 7}, {"\xff\x41", 7}};
  for (const auto& [text, lead] : cases) {
    EXPECT_EQ(classes_of(text), (std::vector{lead, CLASS_TRAIL, CLASS_END})) << text;
  }
}

TEST(ClassifyText, SingleBytesTrailBytesAndTheTerminator) {
  EXPECT_EQ(classes_of(""), (std::vector{0}));
  EXPECT_EQ(classes_of("a~b"), (std::vector{1, 1, 1, 0}));
  // Half-width katakana and DEL are single bytes.
  EXPECT_EQ(classes_of("\xa0\xb1\xdf\x7f"), (std::vector{1, 1, 1, 1, 0}));
  // A trail byte with the value of `|` is no `|`; the one after it is.
  EXPECT_EQ(classes_of("\x95\x7c|"), (std::vector{7, -1, 1, 0}));
  // A lead byte right before the terminator gets its class; the terminator stays END.
  EXPECT_EQ(classes_of("a\x81"), (std::vector{1, 2, 0}));
  EXPECT_EQ(classes_of("\x82"), (std::vector{7, 0}));
}

TEST(ClassifyText, DoubleByteCharacterAtTheLimitGetsItsTrailEntryBeyond) {
  for (const int limit : {kContinuationWindow, kTextCapacity}) {
    const std::string text = std::string(limit - 1, 'a') + "\x95\x5c" + "tail";
    std::vector<std::int32_t> classes(limit + 2, kUntouched);
    classify_text(text.c_str(), classes.data(), limit);
    EXPECT_EQ(classes[limit - 1], CLASS_OTHER) << limit;
    EXPECT_EQ(classes[limit], CLASS_TRAIL) << limit;
    EXPECT_EQ(classes[limit + 1], kUntouched) << limit;
  }
}

}  // namespace
}  // namespace plotwright
