// Scenario files in UTF-8 or Shift-JIS: which encoding is taken, and what the engine gets. What
// is refused, with its message, and engine text shown as UTF-8 are held to iconv, text by text,
// in cp932_codec_test.cpp.
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

}  // namespace
}  // namespace plotwright
