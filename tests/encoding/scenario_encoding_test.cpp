// Scenario files in UTF-8 or Shift-JIS, and engine text shown as UTF-8.
#include "encoding/scenario_encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace plotwright {
namespace {

// 夜の駅 ("the night station") in both encodings.
const std::string kStationUtf8 = "\xE5\xA4\x9C\xE3\x81\xAE\xE9\xA7\x85";
const std::string kStationSjis = "\x96\xE9\x82\xCC\x89\x77";

class ScenarioEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec_, nullptr)); }
  std::optional<Cp932Codec> codec_;
};

TEST(ParseInputEncoding, AcceptsTheThreeNamesOnly) {
  for (const auto& [name, expected] : {std::pair{"shift_jis", InputEncoding::SHIFT_JIS},
                                       {"utf-8", InputEncoding::UTF8},
                                       {"auto", InputEncoding::AUTO}}) {
    InputEncoding encoding = InputEncoding::UTF8;
    EXPECT_TRUE(parse_input_encoding(name, encoding));
    EXPECT_EQ(encoding, expected);
  }
  InputEncoding encoding = InputEncoding::AUTO;
  EXPECT_FALSE(parse_input_encoding("UTF-8", encoding));
  EXPECT_FALSE(parse_input_encoding("sjis", encoding));
}

TEST_F(ScenarioEncodingTest, ConvertsValidUtf8AndTakesAnythingElseAsShiftJis) {
  constexpr auto kAuto = InputEncoding::AUTO;
  const struct {
    std::string file;
    InputEncoding encoding;
    bool was_utf8;
    std::string bytes;
  } cases[] = {
      {"title A\r\nHe~said \"hi\".\\\n[%n++]{x}|y\n", kAuto, true,
       "title A\r\nHe~said \"hi\".\\\n[%n++]{x}|y\n"},
      {"title " + kStationUtf8 + "\n", InputEncoding::UTF8, true, "title " + kStationSjis + "\n"},
      {"\xEF\xBB\xBF" + kStationUtf8, kAuto, true, kStationSjis},  // the byte-order mark goes
      {"\xE3\x80\x80"
       "a",
       kAuto, true,
       "\x81\x40"
       "a"},  // the engine's paragraph indent
      // 0x83 0x5C is a katakana whose second byte is a backslash: invalid UTF-8 either way.
      {kStationSjis + "\x83\x5C\n", kAuto, false, kStationSjis + "\x83\x5C\n"},
      {"\xEF\xBB\xBF" + kStationUtf8, InputEncoding::SHIFT_JIS, false,
       "\xEF\xBB\xBF" + kStationUtf8},
  };
  for (const auto& c : cases) {
    DecodedScenario decoded;
    ASSERT_TRUE(decode_scenario(*codec_, c.file, c.encoding, decoded, nullptr)) << c.file;
    EXPECT_EQ(decoded.was_utf8, c.was_utf8) << c.file;
    EXPECT_EQ(decoded.bytes, c.bytes) << c.file;
  }
}

TEST_F(ScenarioEncodingTest, RefusesWhatShiftJisCannotHoldNamingTheLineAndTheCharacter) {
  const struct {
    const char* file;
    InputEncoding encoding;
    const char* error;
  } cases[] = {
      {"one\ntwo\n\x82\xA0\n", InputEncoding::UTF8, "line 3: byte 0x82 is not valid UTF-8"},
      {"first\nsecond \xF0\x9F\x98\x80 smile\n", InputEncoding::AUTO,
       "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form"},
      // The wave dash goes to 0x81 0x60, which comes back as the full-width tilde; the yen
      // sign goes to 0x5C, which comes back as a backslash.
      {"a\nb\nc \xE3\x80\x9C\n", InputEncoding::AUTO,
       "line 3: character U+301C (\xE3\x80\x9C) has no Shift-JIS form of its own (it would "
       "come back as U+FF5E (\xEF\xBD\x9E))"},
      {"\xC2\xA5"
       "100",
       InputEncoding::AUTO,
       "line 1: character U+00A5 (\xC2\xA5) has no Shift-JIS form of its own (it would come "
       "back as U+005C (\\))"},
      // A character without any form is named before an earlier one that would come back
      // changed; an ill-formed byte before either.
      {"\xE3\x80\x9C\n\xF0\x9F\x98\x80", InputEncoding::UTF8,
       "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form"},
      {"\xF0\x9F\x98\x80\n\xC0\x80", InputEncoding::UTF8, "line 2: byte 0xC0 is not valid UTF-8"},
  };
  for (const auto& c : cases) {
    DecodedScenario decoded;
    std::string error;
    EXPECT_FALSE(decode_scenario(*codec_, c.file, c.encoding, decoded, &error)) << c.file;
    EXPECT_EQ(error, c.error);
    EXPECT_FALSE(decode_scenario(*codec_, c.file, c.encoding, decoded, nullptr)) << c.file;
  }
}

TEST_F(ScenarioEncodingTest, ShowsEngineTextAsUtf8WithLfAndAReplacementPerInvalidByte) {
  const struct {
    std::string engine_text;
    std::string utf8;
  } cases[] = {
      {"\x81\x40" + kStationSjis + "\r\n\\~\r\na\rb\r",
       "\xE3\x80\x80" + kStationUtf8 + "\n\\~\na\rb\r"},
      // 0x80 and 0xA0 are no Shift-JIS characters; 0x82 before 'A' is a lead byte without a
      // valid trail byte; a lead byte at the very end is incomplete.
      {"x\x80y\xA0z\x82"
       "A\x96",
       "x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD"
       "A\xEF\xBF\xBD"},
      {"\x82\r\n\xB1", "\xEF\xBF\xBD\n\xEF\xBD\xB1"},  // CR LF after a stray lead; katakana ｱ
  };
  for (const auto& c : cases) EXPECT_EQ(codec_->engine_text_to_utf8(c.engine_text), c.utf8);

  const std::string utf8 = "\xE3\x80\x80" + kStationUtf8 + "\n";
  DecodedScenario decoded;
  ASSERT_TRUE(decode_scenario(*codec_, utf8, InputEncoding::AUTO, decoded, nullptr));
  EXPECT_EQ(codec_->engine_text_to_utf8(decoded.bytes), utf8);
}

}  // namespace
}  // namespace plotwright
