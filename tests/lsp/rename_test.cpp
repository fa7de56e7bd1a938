// The names a block may be renamed to, and why the others are refused.
#include "lsp/rename.h"

#include <gtest/gtest.h>

#include <optional>

namespace plotwright::lsp {
namespace {

struct Case {
  const char* name;     // UTF-8
  const char* refusal;  // the start of the reason, "" when the name will do
};

const Case kCases[] = {
    {"Lighthouse", ""},
    {"\xE7\x81\xAF\xE5\x8F\xB0", ""},  // 灯台
    {"Sunset", ""},                    // a keyword inside is harmless
    {"Gulls", ""},                     // its own name
    {"Gale", "\"Gale\" is taken by the block on line 5."},
    {"Start", "\"Start\" is taken by the block on line 1."},  // the first block too
    {"No", "\"No\" is a built-in scene's name."},
    {"", "A block needs a name."},
    {" Tide", "A name cannot begin or end with a blank."},
    {"Tide\xE3\x80\x80", "A name cannot begin or end with a blank."},
    {"Ti\nde", "A name cannot hold a line break"},
    {"!Tide", "A jump to it would read \"!\" as its prefix."},
    {"Tide}", "A name cannot hold \"}\""},
    {"<%n>1>Tide", "A name cannot hold \"<\""},
    {"Tide;Gale", "A name cannot hold \";\""},
    {"endless", "A choice naming it would be read as an \"end\" statement."},
    {"settled", "A choice naming it would be read as a \"set\" statement."},
    {"123456", "A name that begins with six digits is a scene number."},
    {"Tide\xE2\x98\x95", "character U+2615"},  // ☕ has no Shift-JIS form
};

TEST(Rename, RefusesNamesThatWouldNotReadBackAsTheSameBlock) {
  std::optional<Cp932Codec> codec;
  ASSERT_TRUE(Cp932Codec::open(codec, nullptr));
  const ScenarioAnalysis analysis(
      "title Start\n{Watch}\nselect Watch\nGulls\nscene Gale\nscene Gulls\n");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string engine;
    const std::string refusal = name_refusal(*codec, analysis.model(), 3, c.name, engine);
    EXPECT_EQ(refusal.substr(0, std::string(c.refusal).size()), c.refusal);
    EXPECT_EQ(refusal.empty(), c.refusal[0] == '\0');
  }
}

}  // namespace
}  // namespace plotwright::lsp
