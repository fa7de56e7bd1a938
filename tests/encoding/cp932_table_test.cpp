// The generated code page 932 tables answer every question as iconv, whose answers they hold:
// every code of one or two bytes, every Unicode scalar value.
#include "encoding/cp932_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "encoding/cp932_iconv.h"

namespace plotwright {
namespace {

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
}  // namespace plotwright
