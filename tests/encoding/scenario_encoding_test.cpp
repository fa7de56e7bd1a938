// Scenario files in UTF-8 or Shift-JIS, and engine text shown as UTF-8.
#include "encoding/scenario_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace plotwright {
namespace {

// 夜の駅 ("the night station") in both encodings.
const std::string kStationUtf8 = "\xE5\xA4\x9C\xE3\x81\xAE\xE9\xA7\x85";
const std::string kStationSjis = "\x96\xE9\x82\xCC\x89\x77";

TEST(ParseInputEncoding, AcceptsTheThreeNamesOnly) {
  for (const auto& [name, expected] : {std::pair{"shift_jis", InputEncoding::kShiftJis},
                                       {"utf-8", InputEncoding::kUtf8},
                                       {"auto", InputEncoding::kAuto}}) {
    InputEncoding encoding = InputEncoding::kUtf8;
    EXPECT_TRUE(parse_input_encoding(name, encoding));
    EXPECT_EQ(encoding, expected);
  }
  InputEncoding encoding = InputEncoding::kAuto;
  EXPECT_FALSE(parse_input_encoding("UTF-8", encoding));
  EXPECT_FALSE(parse_input_encoding("sjis", encoding));
}

TEST(DecodeScenario, ConvertsValidUtf8AndTakesAnythingElseAsShiftJis) {
  constexpr auto kAuto = InputEncoding::kAuto;
  const struct {
    std::string file;
    InputEncoding encoding;
    bool was_utf8;
    std::string bytes;
  } cases[] = {
      {"title A\r\nHe~said \"hi\".\\\n[%n++]{x}|y\n", kAuto, true,
       "title A\r\nHe~said \"hi\".\\\n[%n++]{x}|y\n"},
      {"title " + kStationUtf8 + "\n", kAuto, true, "title " + kStationSjis + "\n"},
      {"\xEF\xBB\xBF" + kStationUtf8, kAuto, true, kStationSjis},  // the byte-order mark goes
      {"\xE3\x80\x80"
       "a",
       kAuto, true,
       "\x81\x40"
       "a"},  // the engine's paragraph indent
      // 0x83 0x5C is a katakana whose second byte is a backslash: invalid UTF-8 either way.
      {kStationSjis + "\x83\x5C\n", kAuto, false, kStationSjis + "\x83\x5C\n"},
      {kStationSjis + "\x83\x5C\n", InputEncoding::kShiftJis, false, kStationSjis + "\x83\x5C\n"},
      {kStationUtf8, InputEncoding::kShiftJis, false, kStationUtf8},
  };
  for (const auto& c : cases) {
    const DecodeResult result = decode_scenario(c.file, c.encoding);
    ASSERT_TRUE(result.ok) << c.file;
    EXPECT_EQ(result.was_utf8, c.was_utf8) << c.file;
    EXPECT_EQ(result.bytes, c.bytes) << c.file;
  }
}

TEST(DecodeScenario, RefusesWhatShiftJisCannotHoldNamingTheLineAndTheCharacter) {
  const struct {
    const char* file;
    InputEncoding encoding;
    const char* error;
  } cases[] = {
      {"one\ntwo\n\x82\xA0\n", InputEncoding::kUtf8, "line 3: byte 0x82 is not valid UTF-8"},
      {"first\nsecond \xF0\x9F\x98\x80 smile\n", InputEncoding::kAuto,
       "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form"},
      // The wave dash goes to 0x81 0x60, which comes back as the full-width tilde; the yen
      // sign goes to 0x5C, which comes back as a backslash.
      {"a\nb\nc \xE3\x80\x9C\n", InputEncoding::kAuto,
       "line 3: character U+301C (\xE3\x80\x9C) has no Shift-JIS form of its own (it would "
       "come back as U+FF5E (\xEF\xBD\x9E))"},
      {"\xC2\xA5"
       "100",
       InputEncoding::kAuto,
       "line 1: character U+00A5 (\xC2\xA5) has no Shift-JIS form of its own (it would come "
       "back as U+005C (\\))"},
  };
  for (const auto& c : cases) {
    const DecodeResult result = decode_scenario(c.file, c.encoding);
    EXPECT_FALSE(result.ok) << c.file;
    EXPECT_EQ(result.error, c.error);
  }
}

TEST(EngineTextToUtf8, ConvertsShiftJisEndsLinesWithLfAndReplacesInvalidBytes) {
  EXPECT_EQ(engine_text_to_utf8("\x81\x40" + kStationSjis + "\r\n\\~\r\na\rb"),
            "\xE3\x80\x80" + kStationUtf8 + "\n\\~\na\rb");
  // 0x80 and 0xA0 are no Shift-JIS characters; 0x82 before 'A' is a lead byte without a
  // valid trail byte; a lead byte at the very end is incomplete.
  EXPECT_EQ(engine_text_to_utf8("x\x80y\xA0z\x82"
                                "A\x96"),
            "x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD"
            "A\xEF\xBF\xBD");
}

TEST(EngineTextToUtf8, RoundTripsADecodedScenario) {
  const std::string utf8 = "\xE3\x80\x80" + kStationUtf8 + "\n";
  const DecodeResult decoded = decode_scenario(utf8, InputEncoding::kAuto);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(engine_text_to_utf8(decoded.bytes), utf8);
}

}  // namespace
}  // namespace plotwright
