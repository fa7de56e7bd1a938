// The variable store, condition syntax and jump directives where the story cannot show them: a
// new story's empty store, the 4096-byte compare, where a condition and a token end, what a
// directive gives.
#include "generator/variables.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/conditions.h"
#include "generator/jump_directives.h"
#include "support/compile_support.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

class VariablesTest : public ::testing::Test, public testing::LanguageState {
 protected:
  // What printing `token` appends; checks that the yield counts those bytes.
  std::string print(const char* token) {
    output.reset();
    const int appended = variables.print_variable(token);
    const std::string printed(output.pending());
    EXPECT_EQ(appended, static_cast<int>(printed.size())) << token;
    return printed;
  }
};

TEST_F(VariablesTest, ANewStoryStartsEveryVariableEmpty) {
  variables.assign_variable("hero", "Anna");
  print("hero");
  variables.clear();
  variables.add_to_variable("%hero", 1);
  EXPECT_EQ(print("hero"), "hero");
  EXPECT_EQ(variables.slot(0).uses, 0);
}

// What a line's directive does, whatever the code held before: a line that is no directive
// is a plain jump to nothing; a name not found says so in the pending line.
TEST_F(VariablesTest, AJumpDirectiveGivesItsSceneAndPrefix) {
  const testing::CompiledText compiled("title T\nscene Road\nx\n");
  const struct {
    const char* line;
    int scene;
    Directive code;
    const char* pending;
  } cases[] = {
      {"Road", 0, Directive::JUMP, ""},
      {"{Road}", 15, Directive::JUMP, ""},
      {"{!Road}", 15, Directive::DISABLE, ""},
      {"{<%n==1>T;#Road}", 15, Directive::ENABLE, ""},
      {"{<%n==1>Road}", -1, Directive::JUMP, ""},
      {"{&+Nowhere}", 0, Directive::PRIORITY_UP, "scene \"&+Nowhere\" not found"},
  };
  for (const auto& c : cases) {
    output.reset();
    Directive code = Directive::PRIORITY_CLEAR;
    EXPECT_EQ(parse_jump_directive(c.line, testing::Classes(c.line).data(), code,
                                   compiled.scenario.scenes, variables, output),
              c.scene)
        << c.line;
    if (c.scene >= 0) {
      EXPECT_EQ(code, c.code) << c.line;
    }
    EXPECT_EQ(std::string(output.pending()), c.pending) << c.line;
  }
}

TEST(TextsEqual, ComparesWholeTextsWithinTheirFirst4096Bytes) {
  EXPECT_TRUE(texts_equal("Anna", "Anna"));
  EXPECT_FALSE(texts_equal("Anna", "Ann"));
  EXPECT_FALSE(texts_equal(nullptr, nullptr));
  const std::string just_fits(4095, 'x');
  EXPECT_TRUE(texts_equal(just_fits.c_str(), just_fits.c_str()));
  const std::string too_long(4096, 'x');
  EXPECT_FALSE(texts_equal(too_long.c_str(), too_long.c_str()));
}

TEST(Conditions, ParseEndsAfterTheClosingBracketOrOnTheTerminator) {
  const struct {
    const char* text;  // starts just after the `<`
    Op op;
    const char* left;
    const char* right;
    int end;
    bool closed;
  } cases[] = {
      {"%a<=1>rest", Op::LE, "%a", "1", 6, true}, {"%x!1>Forest", Op::NE, "%x", "", 5, true},
      {"%x=", Op::EQ, "%x", "", 3, false},        {"%x==1", Op::EQ, "%x", "1", 5, false},
      {"abc", Op::NONE, "abc", "", 3, false},
  };
  for (const auto& c : cases) {
    TextBuffer left;
    TextBuffer right;
    int position = 0;
    Op op = Op::GT;
    const bool closed = parse_condition(c.text, testing::Classes(c.text).data(), left.data(),
                                        right.data(), position, op);
    EXPECT_EQ(closed, c.closed) << c.text;
    EXPECT_EQ(op, c.op) << c.text;
    EXPECT_STREQ(left.data(), c.left) << c.text;
    EXPECT_STREQ(right.data(), c.right) << c.text;
    EXPECT_EQ(position, c.end) << c.text;
  }
}

TEST(Conditions, ScanTokenStopsOnlyAtSingleByteStopsWithin4096Bytes) {
  // The second byte of the double-byte character 0x83 0x7C has the value of `|`.
  const char* text = "a\x83\x7C|b";
  TextBuffer out;
  int position = 0;
  EXPECT_EQ(scan_token(text, testing::Classes(text).data(), position, "|", out.data()), '|');
  EXPECT_STREQ(out.data(), "a\x83\x7C");
  EXPECT_EQ(position, 3);

  const std::string long_text(5000, 'x');
  position = 0;
  EXPECT_EQ(scan_token(long_text.c_str(), testing::Classes(long_text.c_str()).data(), position, "|",
                       out.data()),
            0);
  EXPECT_EQ(position, 4096);
  EXPECT_EQ(std::string(out.data()).size(), 4096u);
}

}  // namespace
}  // namespace plotwright
