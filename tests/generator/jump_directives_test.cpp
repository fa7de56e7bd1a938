// Jump directives (guards, prefixes, the scene they name) and the bracket check of a line.
#include "generator/jump_directives.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/char_classes.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScriptedRandom;

// Scenes 14 "A", 15 "B" and 16 " A" after the built-in names.
class JumpDirectivesTest : public ::testing::Test {
 protected:
  JumpDirectivesTest() {
    scenes.seed_special_names();
    for (const char* name : {"A", "B", " A"}) scenes.names.push_back(name);
    scenes.build_name_index();
  }
  int parse(const char* line, int& code) {
    ClassArray classes;
    classify_text(line, classes.data());
    code = -99;
    return parse_jump_directive(line, classes.data(), code, scenes, variables, output);
  }
  int check(const std::string& line) {
    ClassArray classes;
    classify_text(line.c_str(), classes.data());
    return check_brackets(line.c_str(), classes.data(), output);
  }
  SceneTable scenes;
  OutputBuffers output;
  ScriptedRandom random;
  VariableStore variables{output, random};
};

TEST_F(JumpDirectivesTest, ResolvesTheTakenAlternativeAndItsPrefix) {
  variables.assign_variable("%n", "5");
  const struct {
    const char* line;
    int scene;
    int code;
  } cases[] = {
      {"{B}", 15, DIRECTIVE_JUMP},
      {"{;B}", 15, DIRECTIVE_JUMP},
      {"{ A}", 16, DIRECTIVE_JUMP},
      {"{000007}", 7, DIRECTIVE_JUMP},
      {"{099999}", 99999, DIRECTIVE_JUMP},
      {"{<%n>3>A;B}", 14, DIRECTIVE_JUMP},
      {"{<%n<3>A;B}", 15, DIRECTIVE_JUMP},
      {"{<%n==0>A<%n==5>B}", 15, DIRECTIVE_JUMP},
      {"{!A}", 14, DIRECTIVE_DISABLE},
      {"{#A}", 14, DIRECTIVE_ENABLE},
      {"{&A}", 14, DIRECTIVE_PRIORITY_SET},
      {"{&+A}", 14, DIRECTIVE_PRIORITY_UP},
      {"{&-A}", 14, DIRECTIVE_PRIORITY_DOWN},
      {"{*A}", 14, DIRECTIVE_PRIORITY_CLEAR},
      {"{<%n==5>!B;A}", 15, DIRECTIVE_DISABLE},
      {"plain text", 0, DIRECTIVE_JUMP},
      {"\x83\x7B"
       "A}",
       0, DIRECTIVE_JUMP},  // a double-byte first character
  };
  for (const auto& c : cases) {
    int code = 0;
    EXPECT_EQ(parse(c.line, code), c.scene) << c.line;
    EXPECT_EQ(code, c.code) << c.line;
  }
  EXPECT_EQ(output.pending(), "");
}

TEST_F(JumpDirectivesTest, NoTakenAlternativeIsMalformedAndSilent) {
  for (const char* line : {"{<%n>3>A}", "{<%n>3>A;<%n==1>B}", "{<%n>3>A", "{"}) {
    int code = 0;
    EXPECT_EQ(parse(line, code), -1) << line;
  }
  EXPECT_EQ(output.pending(), "");
}

TEST_F(JumpDirectivesTest, SceneNotFoundQuotesTheWholeTokenInThePendingLine) {
  const struct {
    const char* line;
    int code;
    const char* message;
  } cases[] = {
      {"{!Nowhere}", DIRECTIVE_DISABLE, "scene \"!Nowhere\" not found"},
      {"{}", DIRECTIVE_JUMP, "scene \"\" not found"},
      {"{&+ B}", DIRECTIVE_PRIORITY_UP, "scene \"&+ B\" not found"},
      // The end scene is not found by its name, only by its number.
      {"{\x8fI\x97\xb9}", DIRECTIVE_JUMP, "scene \"\x8fI\x97\xb9\" not found"},
  };
  for (const auto& c : cases) {
    output.reset();
    int code = 0;
    EXPECT_EQ(parse(c.line, code), 0) << c.line;
    EXPECT_EQ(code, c.code) << c.line;
    EXPECT_EQ(output.pending(), c.message);
    EXPECT_EQ(output.story(), "");  // not flushed
  }
}

TEST_F(JumpDirectivesTest, BalancedBracketsPassInAnyOrder) {
  for (const std::string line : {"", "plain", ")(", "{a}[b](c)", "<<>", "\x83\x7B\x83\x5B"}) {
    EXPECT_EQ(check(line), 0) << line;
  }
  // An unbalanced bracket after the first 1024 bytes is not counted.
  EXPECT_EQ(check(std::string(1024, 'x') + "(" + std::string(975, 'x')), 0);
  EXPECT_EQ(output.story(), "");
}

TEST_F(JumpDirectivesTest, UnbalancedBracketsAreReportedAsOneStoryLine) {
  output.pending_put_text("pending ");
  EXPECT_EQ(check("{A"), 1);
  EXPECT_EQ(check("([{"), 1);
  EXPECT_EQ(check("x]"), 1);
  EXPECT_EQ(output.story(),
            "pending illegal parenthesis in message \"{A\" mismatch found at count of {}\r\n"
            "illegal parenthesis in message \"([{\" mismatch found at count of () mismatch found "
            "at count of [] mismatch found at count of {}\r\n"
            "illegal parenthesis in message \"x]\" mismatch found at count of []\r\n");
}

}  // namespace
}  // namespace plotwright
