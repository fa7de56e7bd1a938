// The prefix of a directive's target: what it does and how many bytes it takes.
#include "language/directive_syntax.h"

#include <gtest/gtest.h>

namespace plotwright {
namespace {

TEST(DirectivePrefix, NamesTheDirectiveAndItsLengthWhateverCodeHeldBefore) {
  const struct {
    const char* token;
    Directive code;
    int length;
  } cases[] = {
      {"Road", Directive::JUMP, 0},
      {"", Directive::JUMP, 0},
      {"!Road", Directive::DISABLE, 1},
      {"#Road", Directive::ENABLE, 1},
      {"*Road", Directive::PRIORITY_CLEAR, 1},
      {"&Road", Directive::PRIORITY_SET, 1},
      {"&", Directive::PRIORITY_SET, 1},
      {"&+Road", Directive::PRIORITY_UP, 2},
      {"&-Road", Directive::PRIORITY_DOWN, 2},
      {"+Road", Directive::JUMP, 0},
  };
  for (const auto& c : cases) {
    for (const Directive before : {Directive::JUMP, Directive::DISABLE}) {
      Directive code = before;
      EXPECT_EQ(read_directive_prefix(c.token, code), c.length) << c.token;
      EXPECT_EQ(code, c.code) << c.token;
    }
  }
}

}  // namespace
}  // namespace plotwright
