// Texts longer than 2048 bytes are classified whole: far into a long line, a syntax character
// still acts, and the second byte of a double-byte character that equals one still does not.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::ScenarioHarness;

std::string story_of(const std::string& line) {
  ScenarioHarness h;
  return body_of(h.load("title T\n" + line + "\n"));
}

TEST(LongTextClasses, SyntaxBeyondByte2048IsToldFromDoubleByteHalves) {
  // あ (0x82 0xA0) straddles bytes 2047 and 2048; the operations after it still work.
  const std::string before(2047, 'a');
  EXPECT_EQ(story_of(before + "\x82\xa0[%x=1]<%x==1>yes<%x==2>no"), before + "\x82\xa0yes\n");
  // Double-byte characters whose second byte is that of `[` (0x81 0x5B), `{` (0x81 0x7B) or
  // `|` (0x81 0x7C): 3,000 bytes into a line they are still text.
  const std::string far(3000, 'b');
  EXPECT_EQ(story_of(far + "\x81\x5bx]\x81\x7b" + "c"), far + "\x81\x5bx]\x81\x7b" + "c\n");
  EXPECT_EQ(story_of(far + "(\x81\x7c)"), far + "\x81\x7c\n");
  EXPECT_EQ(story_of(far + "(\x81\x7c|z)"), far + "\x81\x7c\n");
}

}  // namespace
}  // namespace plotwright
