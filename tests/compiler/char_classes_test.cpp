// Character classes: which bytes of a single-byte / Shift-JIS text may be syntax.
#include "compiler/char_classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

constexpr std::int32_t kUntouched = 99;

// The classes of `text` up to and including its CLASS_END entry.
std::vector<std::int32_t> classes_of(const std::string& text) {
  ClassArray classes;
  classes.fill(kUntouched);
  classify_text(text.c_str(), classes.data());
  std::vector<std::int32_t> out;
  for (std::size_t p = 0; p <= text.size(); ++p) out.push_back(classes[p]);
  return out;
}

struct ClassCase {
  const char* what;
  std::string text;
  std::vector<std::int32_t> classes;
};

TEST(ClassifyText, GivesEachByteItsClass) {
  const ClassCase cases[] = {
      {"plain text", "a~b", {1, 1, 1, 0}},
      {"empty text", "", {0}},
      {"full-width space", "\x81\x40", {2, -1, 0}},
      {"full-width zero", "\x82\x4f", {3, -1, 0}},
      {"one past nine still a digit", "\x82\x59", {3, -1, 0}},
      {"between digits and Latin", "\x82\x5a", {7, -1, 0}},
      {"last Latin letter", "\x82\x9a", {4, -1, 0}},
      {"between Latin and hiragana", "\x82\x9b", {7, -1, 0}},
      {"hiragana a", "\x82\xa0", {5, -1, 0}},
      {"last hiragana", "\x82\xf1", {5, -1, 0}},
      {"past hiragana", "\x82\xf2", {7, -1, 0}},
      {"small katakana ka", "\x83\x95", {6, -1, 0}},
      {"small katakana ke", "\x83\x96", {7, -1, 0}},
      {"katakana with a backslash trail", "\x83\x5c", {6, -1, 0}},
      {"kanji with a bar trail, then a bar", "\x95\x7c|", {7, -1, 1, 0}},
      {"half-width katakana", "\xb1\xdf\xa0", {1, 1, 1, 0}},
      {"0x80 leads", "\x80\x41", {7, -1, 0}},
      {"0xE0 leads", "\xe0\x41", {7, -1, 0}},
      {"0xFD leads", "\xfd\x41", {7, -1, 0}},
      {"0xFF leads", "\xff\x41", {7, -1, 0}},
      {"symbol lead before the terminator", "a\x81", {1, 2, 0}},
      {"other lead before the terminator", "\x82", {7, 0}},
  };
  for (const ClassCase& c : cases) {
    EXPECT_EQ(classes_of(c.text), c.classes) << c.what;
  }
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

TEST(ByteTests, LeadBytesAndDigitsAtTheirBoundaries) {
  for (const int byte : {0x80, 0x9f, 0xe0, 0xfd, 0xff}) EXPECT_TRUE(is_lead_byte(byte));
  for (const int byte : {0x00, 0x5c, 0x7f, 0xa0, 0xdf}) EXPECT_FALSE(is_lead_byte(byte));
  EXPECT_TRUE(is_ascii_digit('0'));
  EXPECT_TRUE(is_ascii_digit('9'));
  for (const int byte : {0x2f, 0x3a, 0xb0, 0xb9}) EXPECT_FALSE(is_ascii_digit(byte));
}

TEST(ByteTests, SixDigitsLooksAtTheFirstSixBytesOnly) {
  EXPECT_TRUE(is_six_digits("123456"));
  EXPECT_TRUE(is_six_digits("000014 and more"));
  EXPECT_FALSE(is_six_digits("12345"));
  EXPECT_FALSE(is_six_digits("12345a"));
  EXPECT_FALSE(is_six_digits("1234\x82\x4f"));
  EXPECT_FALSE(is_six_digits(""));
}

}  // namespace
}  // namespace plotwright
