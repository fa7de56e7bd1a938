// Jump directives (guards, prefixes, the scene they name) and the bracket check of a line.
#include "generator/jump_directives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::Classes;

// Scenes 14 "A", 15 "B" and 16 " A" after the built-in names.
class JumpDirectivesTest : public ::testing::Test, public testing::LanguageState {
 protected:
  JumpDirectivesTest() {
    scenes.seed_special_names();
    for (const char* name : {"A", "B", " A"}) scenes.names.push_back(name);
    scenes.build_name_index();
  }
  int parse(const char* line, Directive& code) {
    code = Directive::JUMP;
    return parse_jump_directive(line, Classes(line).data(), code, scenes, variables, output);
  }
  bool check(const std::string& line) {
    return check_brackets(line.c_str(), Classes(line.c_str()).data(), output);
  }
  SceneTable scenes;
};

TEST_F(JumpDirectivesTest, ResolvesTheTakenAlternativeAndItsPrefix) {
  variables.assign_variable("%n", "5");
  const struct {
    const char* line;
    int scene;  // -1: malformed, or no alternative taken
    Directive code;
  } cases[] = {
      {"{B}", 15, Directive::JUMP},
      {"{;B}", 15, Directive::JUMP},
      {"{ A}", 16, Directive::JUMP},
      {"{000007}", 7, Directive::JUMP},
      {"{099999}", 99999, Directive::JUMP},
      {"{<%n>3>A;B}", 14, Directive::JUMP},
      {"{<%n<3>A;B}", 15, Directive::JUMP},
      {"{<%n==0>A<%n==5>B}", 15, Directive::JUMP},
      {"{<%n==5>!B;A}", 15, Directive::DISABLE},
      {"plain text", 0, Directive::JUMP},
      {"\x83\x7B"
       "A}",
       0, Directive::JUMP},  // a double-byte first character
      {"{<%n<3>A}", -1, Directive::JUMP},
      {"{<%n<3>A;<%n==1>B}", -1, Directive::JUMP},
      {"{<%n<3>A", -1, Directive::JUMP},
      {"{", -1, Directive::JUMP},
  };
  for (const auto& c : cases) {
    Directive code = Directive::JUMP;
    EXPECT_EQ(parse(c.line, code), c.scene) << c.line;
    if (c.scene >= 0) {
      EXPECT_EQ(code, c.code) << c.line;
    }
  }
  EXPECT_EQ(output.pending(), "");
}

TEST_F(JumpDirectivesTest, SceneNotFoundQuotesTheWholeTokenInThePendingLine) {
  const struct {
    const char* line;
    Directive code;
    const char* message;
  } cases[] = {
      {"{!Nowhere}", Directive::DISABLE, "scene \"!Nowhere\" not found"},
      {"{}", Directive::JUMP, "scene \"\" not found"},
      {"{&+ B}", Directive::PRIORITY_UP, "scene \"&+ B\" not found"},
      // The end scene is not found by its name, only by its number.
      {"{\x8fI\x97\xb9}", Directive::JUMP, "scene \"\x8fI\x97\xb9\" not found"},
  };
  for (const auto& c : cases) {
    output.reset();
    Directive code = Directive::JUMP;
    EXPECT_EQ(parse(c.line, code), 0) << c.line;
    EXPECT_EQ(code, c.code) << c.line;
    EXPECT_EQ(output.pending(), c.message);
    EXPECT_EQ(output.story(), "");  // not flushed
  }
}

TEST_F(JumpDirectivesTest, UnbalancedBracketsWithinTheFirst1024BytesAreReportedAsOneStoryLine) {
  for (const std::string& line :
       std::vector<std::string>{"", "plain", ")(", "{a}[b](c)", "<<>", "\x83\x7B\x83\x5B",
                                std::string(1024, 'x') + "(" + std::string(975, 'x')}) {
    EXPECT_TRUE(check(line)) << line.substr(0, 20);
  }
  EXPECT_EQ(output.story(), "");
  output.pending_put_text("pending ");
  EXPECT_FALSE(check("{A"));
  EXPECT_FALSE(check("([{"));
  EXPECT_FALSE(check("x]"));
  EXPECT_EQ(output.story(),
            "pending illegal parenthesis in message \"{A\" mismatch found at count of {}\r\n"
            "illegal parenthesis in message \"([{\" mismatch found at count of () mismatch found "
            "at count of [] mismatch found at count of {}\r\n"
            "illegal parenthesis in message \"x]\" mismatch found at count of []\r\n");
}

}  // namespace
}  // namespace plotwright
