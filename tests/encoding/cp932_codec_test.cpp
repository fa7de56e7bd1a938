// The table codec held to whole-text iconv: every Shift-JIS code, every character of the
// Basic Multilingual Plane and some beyond, random texts; the backend asked only once; and the
// generated tables, code by code, against iconv's backend.
#include "encoding/cp932_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "encoding/cp932_iconv.h"
#include "encoding/cp932_table.h"
#include "encoding/iconv_reference.h"
#include "encoding/utf8.h"

namespace plotwright::testing {
namespace {

std::string utf8_of(char32_t code_point) {
  char bytes[4];
  return std::string(bytes, utf8::write(code_point, bytes));
}

class Cp932CodecTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec_, nullptr)); }

  void expect_as_reference(const std::string& file) {
    for (const auto encoding : {InputEncoding::AUTO, InputEncoding::UTF8}) {
      std::string bytes, error, codec_error;
      const bool ok = reference_.decode_scenario(file, encoding, bytes, error);
      DecodedScenario decoded;
      ASSERT_EQ(decode_scenario(*codec_, file, encoding, decoded, &codec_error), ok) << file;
      EXPECT_EQ(ok ? decoded.bytes : codec_error, ok ? bytes : error);
    }
    EXPECT_EQ(codec_->engine_text_to_utf8(file), reference_.engine_text_to_utf8(file)) << file;
  }

  std::optional<Cp932Codec> codec_;
  IconvReference reference_;
};

// Each text is followed in memory by a byte that would complete a pair: a lead byte at the end
// of a text must be decoded alone, never with the byte past it.
TEST_F(Cp932CodecTest, DecodesEveryCodeOfOneOrTwoBytesAsIconv) {
  for (unsigned code = 0; code < 0x10000; ++code) {
    const char bytes[3] = {static_cast<char>(code >> 8), static_cast<char>(code), '\x40'};
    const std::string_view text(code < 0x100 ? bytes + 1 : bytes, code < 0x100 ? 1 : 2);
    ASSERT_EQ(codec_->engine_text_to_utf8(text), reference_.engine_text_to_utf8(text)) << code;
  }
}

TEST_F(Cp932CodecTest, EncodesEveryCharacterAsIconvButNamesDroppedOnesAsFormless) {
  for (char32_t code_point = 1; code_point < 0x10000; ++code_point) {
    if (code_point < 0xD800 || code_point > 0xDFFF) expect_as_reference("\n" + utf8_of(code_point));
  }
  for (const char32_t code_point : {0x10000, 0x1F600, 0x20B9F, 0xF0000, 0x10FFFF}) {
    expect_as_reference(utf8_of(code_point));
  }
  // iconv drops the tag characters without a word; whole-text iconv would call them lossy,
  // "(it would come back as U+0000 ())".
  for (const char32_t code_point : {0xE0000, 0xE0041, 0xE007F}) {
    std::string bytes, error;
    EXPECT_FALSE(codec_->utf8_to_shift_jis("a" + utf8_of(code_point), bytes, &error));
    EXPECT_EQ(error, "line 1: character " + utf8::describe(code_point) + " has no Shift-JIS form");
  }
  // Whatever a failure stops at, nothing converted before it is left behind.
  for (const char* text : {"a\xF0\x9F\x98\x80", "a\xC2\xA5", "a\x82"}) {
    std::string bytes = "stale";
    EXPECT_FALSE(codec_->utf8_to_shift_jis(text, bytes, nullptr)) << text;
    EXPECT_EQ(bytes, "") << text;
  }
}

TEST_F(Cp932CodecTest, ConvertsRandomTextsAsIconv) {
  // clang-format off
  const char* const pieces[] = {
      "a", "\\", "~", "\n", "\r", "\r\n", "\x81\x40", "\x82", "\x80", "\xA0", "\xB1", "\xFD",
      "\xEF\xBB\xBF", "\xE5\xA4\x9C", "\xE3\x80\x80", "\xE3\x80\x9C", "\xC2\xA5", "\xEF\xBD\xB1",
      "\xF0\x9F\x98\x80", "\xE2\x80\x94", "\xEE\x80\x80", "\xC0\x80", "\xED\xA0\x80", "\xE3\x80"};
  // clang-format on
  std::mt19937 random(20240601);
  for (int i = 0; i < 4000; ++i) {
    std::string text;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) {
      text += random() % 4 == 0 ? std::string(1, static_cast<char>(random()))
                                : pieces[random() % std::size(pieces)];
    }
    expect_as_reference(text);
  }
}

// Passes calls on to iconv, counting them.
class CountingBackend final : public Cp932Backend {
 public:
  explicit CountingBackend(int& calls) : calls_(calls) {
    EXPECT_TRUE(open_iconv_cp932_backend(iconv_, nullptr));
  }
  bool decode(std::string_view code, char32_t& code_point) override {
    return ++calls_, iconv_->decode(code, code_point);
  }
  bool encode(char32_t code_point, ShiftJisCode& code) override {
    return ++calls_, iconv_->encode(code_point, code);
  }

 private:
  int& calls_;
  std::unique_ptr<Cp932Backend> iconv_;
};

TEST(Cp932Codec, AsksTheBackendNothingForAsciiAndOnceForEachCode) {
  int calls = 0;
  Cp932Codec codec(std::make_unique<CountingBackend>(calls));
  std::string sjis;
  const std::string ascii(100000, 'a');
  EXPECT_EQ(codec.engine_text_to_utf8(ascii + "\r\n"), ascii + "\n");
  EXPECT_TRUE(codec.utf8_to_shift_jis(ascii, sjis, nullptr));
  EXPECT_EQ(calls, 0);
  std::string night;  // 夜 a thousand times, 0x96 0xE9 in Shift-JIS
  for (int i = 0; i < 1000; ++i) night += "\xE5\xA4\x9C";
  EXPECT_TRUE(codec.utf8_to_shift_jis(night, sjis, nullptr));
  EXPECT_EQ(calls, 2);  // encode, and decode 0x96 0xE9 to see that it comes back
  EXPECT_EQ(codec.engine_text_to_utf8(sjis), night);
  EXPECT_EQ(calls, 3);  // 0x96 alone is no character
}

// A backend of the kind a generated table could be, with faults the codec must not pass on.
class TinyBackend final : public Cp932Backend {
 public:
  bool decode(std::string_view code, char32_t& code_point) override {
    // Beyond the BMP; then each side of the surrogates' and of Unicode's ends: no surrogate,
    // and nothing past U+10FFFF, is a character.
    static const std::map<std::string_view, char32_t> kAnswers = {
        {"\x81\x40", 0x20B9F}, {"\xA0", 0xD800},   {"\xA1", 0xD7FF},  {"\xA2", 0xDFFF},
        {"\xA3", 0xE000},      {"\xA4", 0x10FFFF}, {"\xA5", 0x110000}};
    const auto found = kAnswers.find(code);
    return found != kAnswers.end() && (code_point = found->second, true);
  }
  bool encode(char32_t code_point, ShiftJisCode& code) override {
    code = {2, {'\x82', '\xA0'}};  // decodes to nothing
    return code_point == 0x3000;
  }
};

TEST(Cp932Codec, TakesNoCodeThatDoesNotComeBackAndPassesOnCharactersBeyondTheBmp) {
  Cp932Codec codec(std::make_unique<TinyBackend>());
  EXPECT_EQ(codec.engine_text_to_utf8("\x81\x40\xA0\xA1\xA2\xA3\xA4\xA5"),
            "\xF0\xA0\xAE\x9F\xEF\xBF\xBD\xED\x9F\xBF\xEF\xBF\xBD\xEE\x80\x80\xF4\x8F\xBF\xBF"
            "\xEF\xBF\xBD");
  std::string sjis, error;
  EXPECT_FALSE(codec.utf8_to_shift_jis("\xE3\x80\x80", sjis, &error));
  EXPECT_EQ(error, "line 1: character U+3000 (\xE3\x80\x80) has no Shift-JIS form");
}

// What this system's CP932 never does: a converter iconv lacks is an error that names it, and a
// charset whose codes run longer than two bytes gives only its short ones.
TEST(IconvBackend, RefusesAMissingConverterAndCodesLongerThanTwoBytes) {
  std::unique_ptr<Cp932Backend> backend;
  std::string error;
  EXPECT_FALSE(open_iconv_backend("NO-SUCH-CHARSET", backend, &error));
  EXPECT_EQ(error, "iconv cannot convert from NO-SUCH-CHARSET to UTF-32LE");
  ASSERT_TRUE(open_iconv_backend("UTF-8", backend, &error));
  ShiftJisCode code;
  EXPECT_TRUE(backend->encode(0xE9, code) && code.view() == "\xC3\xA9");
  EXPECT_FALSE(backend->encode(0x3042, code));  // three bytes
}

// The generated tables answer every question as iconv, whose answers they hold: every code of
// one or two bytes, every Unicode scalar value.
class Cp932TableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(open_iconv_cp932_backend(iconv_, nullptr)); }

  std::unique_ptr<Cp932Backend> iconv_;
  std::unique_ptr<Cp932Backend> table_ = make_table_cp932_backend();
};

TEST_F(Cp932TableTest, DecodesEveryCodeOfOneOrTwoBytesAsIconv) {
  for (unsigned code = 0; code < 0x10100; ++code) {
    // 0 to 0xFF: the single bytes; then every pair.
    const char bytes[2] = {static_cast<char>(code >= 0x100 ? (code - 0x100) >> 8 : code),
                           static_cast<char>(code - 0x100)};
    const std::string_view text(bytes, code >= 0x100 ? 2 : 1);
    char32_t expected = 0, got = 0;
    const bool known = iconv_->decode(text, expected);
    ASSERT_EQ(table_->decode(text, got), known) << std::hex << code;
    if (known) {
      ASSERT_EQ(std::uint32_t{got}, std::uint32_t{expected}) << std::hex << code;
    }
  }
}

TEST_F(Cp932TableTest, EncodesEveryCharacterAsIconv) {
  int coded = 0;
  for (char32_t code_point = 0; code_point <= 0x10FFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    ShiftJisCode expected, got;
    const bool known = iconv_->encode(code_point, expected);
    ASSERT_EQ(table_->encode(code_point, got), known) << std::hex << std::uint32_t{code_point};
    if (!known) continue;
    ASSERT_EQ(got.view(), expected.view()) << std::hex << std::uint32_t{code_point};
    ++coded;
  }
  // Every JIS character, the Windows extensions and best-fit codes such as U+00A5 to 0x5C.
  EXPECT_GT(coded, 7000);
}

}  // namespace
}  // namespace plotwright::testing
