// Scenario files in UTF-8 or Shift-JIS, and engine text shown as UTF-8.
#include "encoding/scenario_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace plotwright {
namespace {

// 夜の駅 ("the night station") in both encodings.
constexpr std::string_view kStationUtf8 = "\xE5\xA4\x9C\xE3\x81\xAE\xE9\xA7\x85";
constexpr std::string_view kStationSjis = "\x96\xE9\x82\xCC\x89\x77";

DecodeResult decode(std::string_view bytes, InputEncoding encoding = InputEncoding::kAuto) {
  return decode_scenario(bytes, encoding);
}

TEST(ParseInputEncoding, AcceptsTheThreeNamesOnly) {
  InputEncoding encoding = InputEncoding::kAuto;
  EXPECT_TRUE(parse_input_encoding("shift_jis", encoding));
  EXPECT_EQ(encoding, InputEncoding::kShiftJis);
  EXPECT_TRUE(parse_input_encoding("utf-8", encoding));
  EXPECT_EQ(encoding, InputEncoding::kUtf8);
  EXPECT_TRUE(parse_input_encoding("auto", encoding));
  EXPECT_EQ(encoding, InputEncoding::kAuto);
  EXPECT_FALSE(parse_input_encoding("UTF-8", encoding));
  EXPECT_FALSE(parse_input_encoding("sjis", encoding));
}

TEST(DecodeScenario, AsciiWithBackslashAndTildeIsUnchanged) {
  const std::string scenario = "title A\r\nHe~said \"hi\".\\\n[%n++]{x}|y\n";
  const DecodeResult result = decode(scenario);
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(result.was_utf8);
  EXPECT_EQ(result.bytes, scenario);
}

TEST(DecodeScenario, Utf8BecomesShiftJisAndTheByteOrderMarkIsDropped) {
  const std::string plain = std::string("title ") + std::string(kStationUtf8) + "\n";
  const std::string expected = std::string("title ") + std::string(kStationSjis) + "\n";
  for (const std::string& file : {plain, "\xEF\xBB\xBF" + plain}) {
    const DecodeResult result = decode(file);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.was_utf8);
    EXPECT_EQ(result.bytes, expected);
  }
}

TEST(DecodeScenario, FullWidthSpaceBecomesTheEngineIndent) {
  const DecodeResult result = decode(
      "\xE3\x80\x80"
      "a");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.bytes,
            "\x81\x40"
            "a");
}

TEST(DecodeScenario, ShiftJisIsTakenUnchanged) {
  // 0x83 0x5C is a katakana whose second byte is a backslash: invalid UTF-8 either way.
  const std::string sjis = std::string(kStationSjis) + "\x83\x5C\n";
  for (InputEncoding encoding : {InputEncoding::kAuto, InputEncoding::kShiftJis}) {
    const DecodeResult result = decode(sjis, encoding);
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.was_utf8);
    EXPECT_EQ(result.bytes, sjis);
  }
}

TEST(DecodeScenario, ForcedShiftJisDoesNotConvertValidUtf8) {
  const DecodeResult result = decode(kStationUtf8, InputEncoding::kShiftJis);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, kStationUtf8);
}

TEST(DecodeScenario, ForcedUtf8RefusesInvalidBytesNamingTheLine) {
  const DecodeResult result = decode("one\ntwo\n\x82\xA0\n", InputEncoding::kUtf8);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "line 3: byte 0x82 is not valid UTF-8");
}

TEST(DecodeScenario, CharacterWithoutShiftJisFormIsRefused) {
  const DecodeResult result = decode("first\nsecond \xF0\x9F\x98\x80 smile\n");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form");
}

TEST(DecodeScenario, CharacterThatWouldComeBackChangedIsRefused) {
  // The wave dash goes to 0x81 0x60, which comes back as the full-width tilde; the yen sign
  // goes to 0x5C, which comes back as a backslash.
  DecodeResult result = decode("a\nb\nc \xE3\x80\x9C\n");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error,
            "line 3: character U+301C (\xE3\x80\x9C) has no Shift-JIS form of its own (it would "
            "come back as U+FF5E (\xEF\xBD\x9E))");
  result = decode(
      "\xC2\xA5"
      "100");
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.error.starts_with("line 1: character U+00A5 (\xC2\xA5) has no"))
      << result.error;
}

TEST(EngineTextToUtf8, ConvertsShiftJisAndEndsLinesWithLf) {
  const std::string engine = std::string("\x81\x40") + std::string(kStationSjis) + "\r\n\\~\r\n";
  EXPECT_EQ(engine_text_to_utf8(engine),
            std::string("\xE3\x80\x80") + std::string(kStationUtf8) + "\n\\~\n");
}

TEST(EngineTextToUtf8, KeepsALoneCarriageReturn) {
  EXPECT_EQ(engine_text_to_utf8("a\rb"), "a\rb");
}

TEST(EngineTextToUtf8, ReplacesEachInvalidByteAndKeepsWhatFollows) {
  // 0x80 and 0xA0 are no Shift-JIS characters; 0x82 before 'A' is a lead byte without a
  // valid trail byte; a lead byte at the very end is incomplete.
  EXPECT_EQ(engine_text_to_utf8("x\x80y\xA0z\x82"
                                "A\x96"),
            "x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD"
            "A\xEF\xBF\xBD");
}

TEST(EngineTextToUtf8, RoundTripsADecodedScenario) {
  const std::string utf8 = "\xE3\x80\x80" + std::string(kStationUtf8) + "\n";
  const DecodeResult decoded = decode(utf8);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(engine_text_to_utf8(decoded.bytes), utf8);
}

}  // namespace
}  // namespace plotwright
