// Statement lines and blocks: the keyword match, block names and bodies, the name table.
#include "compiler/statements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/japanese_names.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using testing::CompiledText;
using testing::strings_of;

TEST(ClassifyStatements, MatchesTheLastKeywordThatPrefixesTheLine) {
  const struct {
    const char* line;
    const char* keyword;  // null: no statement
  } cases[] = {{"scene Forest", "scene"},
               {"settle down", "set"},
               {"endless", "end"},
               {"system Core", "system"},
               {"system_mes x", "system_mes"},
               {"selection Tower", "select"},
               {"bunki B", "bunki"},
               {"lumen", "lumen"},
               {"koru k", "koru"},
               {"testing", "test"},
               {"action", "action"},
               {"title T", "title"},
               {"Scene X", nullptr},
               {" scene X", nullptr},
               {"\tend", nullptr},
               {"sce", nullptr},
               {"", nullptr}};
  std::string file;
  for (const auto& c : cases) file.append(c.line).append("\n");
  const CompiledText compiled(file);
  ASSERT_EQ(compiled.scenario.rows.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const KeywordRow* row = compiled.scenario.rows[i];
    EXPECT_STREQ(row ? row->keyword : nullptr, cases[i].keyword) << cases[i].line;
  }
}

TEST(BuildBlocks, BodyRunsUpToTheNextStatementLine) {
  const CompiledText c(
      "ignored\nscene Forest\nTall trees.\nScene X\n scene Y\nscene River\nWater.\n"
      "end\nlost\nselect Empty\nselect Last\n");
  const auto& blocks = c.scenario.blocks;
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_STREQ(blocks[0].name, "Forest");
  EXPECT_EQ(strings_of(blocks[0].body), (Lines{"Tall trees.", "Scene X", " scene Y"}));
  EXPECT_STREQ(blocks[1].name, "River");
  EXPECT_EQ(strings_of(blocks[1].body), (Lines{"Water."}));
  EXPECT_EQ(blocks[2].body.count, 0);
  EXPECT_EQ(blocks[3].body.count, 0);
  EXPECT_STREQ(blocks[3].row->keyword, "select");
}

TEST(BuildBlocks, NameStartsAfterBlanksAndKeepsTrailingOnes) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {{"sceneForest", "Forest"},
               {"scene\x81\x40"
                "Forest",
                "Forest"},
               {"scene \t\x81\x40 Forest  ", "Forest  "},
               {"selection Tower", "ion Tower"},
               {"scene \x81\x41x", "\x81\x41x"},  // only the full-width space is a blank
               {"title \x83\x5c", "\x83\x5c"}};
  for (const auto& c : cases) {
    const CompiledText compiled(std::string(c.line) + "\n");
    ASSERT_EQ(compiled.scenario.blocks.size(), 1u) << c.line;
    EXPECT_STREQ(compiled.scenario.blocks[0].name, c.name) << c.line;
    EXPECT_STREQ(compiled.scenario.scenes.names.back(), c.name) << c.line;
  }
}

TEST(BuildBlocks, OnlyNamedBlocksEnterTheSceneNameTable) {
  const CompiledText c("koru start_message\nx\nscene A\nsystem_mes last_message\nbunki B\nend\n");
  ASSERT_EQ(c.scenario.blocks.size(), 4u);
  EXPECT_STREQ(c.scenario.blocks[0].name, "start_message");
  EXPECT_STREQ(c.scenario.blocks[2].row->keyword, "system_mes");
  const auto& names = c.scenario.scenes.names;
  EXPECT_EQ(Lines(names.begin() + 14, names.end()), (Lines{"A", "B"}));
}

TEST(BuildBlocks, StatementWithoutANameGetsTheEmptyNameAndADiagnostic) {
  const CompiledText c("title\nHello.\nscene  \t\n");
  ASSERT_EQ(c.scenario.blocks.size(), 2u);
  EXPECT_STREQ(c.scenario.blocks[0].name, "");
  EXPECT_STREQ(c.scenario.blocks[1].name, "");
  EXPECT_STREQ(c.scenario.scenes.names[14], "");
  // The block diagnostics come before the trace of the built-in scenes.
  EXPECT_TRUE(c.diagnostics.text().starts_with(std::string(kNameMissingDiagnostic) +
                                               kNameMissingDiagnostic + kNameStartMessage))
      << c.diagnostics.text();
}

}  // namespace
}  // namespace plotwright
