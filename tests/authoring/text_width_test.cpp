// Columns of UTF-8 text in a terminal: tables of Japanese block names line up.
#include "authoring/text_width.h"

#include <gtest/gtest.h>

namespace plotwright {
namespace {

TEST(TextWidth, GivesWideCharactersTwoColumns) {
  EXPECT_EQ(display_width("Gale"), 4);
  EXPECT_EQ(display_width("駅員"), 4);
  EXPECT_EQ(display_width("ストーブ"), 8);
  EXPECT_EQ(display_width("１９０２"), 8);  // full-width digits
  EXPECT_EQ(display_width("ｱｲ"), 2);        // half-width kana are narrow
  EXPECT_EQ(display_width("caf\xc3\xa9"), 4);
  EXPECT_EQ(display_width("\xff"), 1);  // a stray byte: one column, and no read beyond
}

TEST(TextWidth, PadsToColumnsNotBytes) {
  EXPECT_EQ(pad_right("駅", 5), "駅   ");
  EXPECT_EQ(pad_left("駅", 5), "   駅");
  EXPECT_EQ(pad_right("toolong", 3), "toolong");
}

}  // namespace
}  // namespace plotwright
