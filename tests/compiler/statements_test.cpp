// Statement lines and blocks: the keyword match, block names and bodies, the name table.
#include "compiler/statements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/japanese_names.h"
#include "compiler/source_reader.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using testing::strings_of;

// Reads, classifies and forms the blocks of a scenario, as the compile does up to its blocks.
struct Blocks {
  explicit Blocks(std::string_view text) {
    MemoryLineSource source(text);
    read_source_lines(source, store);
    classify_statements(store.lines(), kKeywordTable, rows);
    table.seed_special_names();
    count = build_blocks(store.lines(), rows, table, blocks, diagnostics);
  }
  std::string keyword(int line) const { return rows[line] ? rows[line]->keyword : "(none)"; }

  SourceStore store;
  std::vector<const KeywordRow*> rows;
  SceneTable table;
  std::vector<SceneBlock> blocks;
  CollectingDiagnostics diagnostics;
  int count = 0;
};

TEST(ClassifyStatements, MatchesTheLastKeywordThatPrefixesTheLine) {
  const struct {
    const char* line;
    const char* keyword;
  } cases[] = {
      {"scene Forest", "scene"},
      {"settle down", "set"},
      {"endless", "end"},
      {"system Core", "system"},
      {"system_mes x", "system_mes"},
      {"selection Tower", "select"},
      {"bunki B", "bunki"},
      {"lumen", "lumen"},
      {"koru k", "koru"},
      {"Scene X", "(none)"},
      {" scene X", "(none)"},
      {"\tend", "(none)"},
      {"testing", "test"},
      {"action", "action"},
      {"title T", "title"},
      {"sce", "(none)"},
      {"", "(none)"},
  };
  std::string file;
  for (const auto& c : cases) file.append(c.line).append("\n");
  const Blocks b(file);
  ASSERT_EQ(b.rows.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(b.keyword(static_cast<int>(i)), cases[i].keyword) << cases[i].line;
  }
}

TEST(BuildBlocks, BodyRunsUpToTheNextStatementLine) {
  const Blocks b(
      "ignored\nscene Forest\nTall trees.\nScene X\n scene Y\nscene River\nWater.\n"
      "end\nlost\nselect Empty\nselect Last\n");
  ASSERT_EQ(b.count, 4);
  EXPECT_STREQ(b.blocks[0].name, "Forest");
  EXPECT_EQ(strings_of(b.blocks[0].body), (Lines{"Tall trees.", "Scene X", " scene Y"}));
  EXPECT_STREQ(b.blocks[1].name, "River");
  EXPECT_EQ(strings_of(b.blocks[1].body), (Lines{"Water."}));
  EXPECT_EQ(b.blocks[2].body.count, 0);
  EXPECT_EQ(b.blocks[3].body.count, 0);
  EXPECT_STREQ(b.blocks[3].row->keyword, "select");
}

TEST(BuildBlocks, NameStartsAfterBlanksAndKeepsTrailingOnes) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"sceneForest", "Forest"},
      {"scene\x81\x40"
       "Forest",
       "Forest"},
      {"scene \t\x81\x40 Forest  ", "Forest  "},
      {"selection Tower", "ion Tower"},
      {"scene \x81\x41x", "\x81\x41x"},
      {"title \x83\x5c", "\x83\x5c"},
  };
  for (const auto& c : cases) {
    const Blocks b(std::string(c.line) + "\n");
    ASSERT_EQ(b.count, 1) << c.line;
    EXPECT_STREQ(b.blocks[0].name, c.name) << c.line;
    EXPECT_STREQ(b.table.names.back(), c.name) << c.line;
  }
}

TEST(BuildBlocks, OnlyNamedBlocksEnterTheSceneNameTable) {
  const Blocks b("koru start_message\nx\nscene A\nsystem_mes last_message\nbunki B\nend\n");
  ASSERT_EQ(b.count, 4);
  EXPECT_STREQ(b.blocks[0].name, "start_message");
  EXPECT_STREQ(b.blocks[2].row->keyword, "system_mes");
  ASSERT_EQ(b.table.name_count(), 15);
  EXPECT_STREQ(b.table.names[14], "A");
  EXPECT_STREQ(b.table.names[15], "B");
}

TEST(BuildBlocks, StatementWithoutANameGetsTheEmptyNameAndADiagnostic) {
  const Blocks b("title\nHello.\nscene  \t\n");
  ASSERT_EQ(b.count, 2);
  EXPECT_STREQ(b.blocks[0].name, "");
  EXPECT_STREQ(b.blocks[1].name, "");
  EXPECT_STREQ(b.table.names[14], "");
  EXPECT_EQ(b.diagnostics.text(), std::string(kNameMissingDiagnostic) + kNameMissingDiagnostic);
}

}  // namespace
}  // namespace plotwright
