// The compile: statement lines and blocks, the title list, select blocks and their reports,
// and a scenario compiled again or far larger than the design's tables.
#include "compiler/scenario_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/japanese_names.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using Scenes = std::vector<int>;
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
  // The block diagnostics, a line each, come before the trace of the built-in scenes.
  const std::string missing = std::string(kNameMissingDiagnostic) + "\n";
  EXPECT_TRUE(c.diagnostics.text().starts_with(missing + missing + kNameStartMessage))
      << c.diagnostics.text();
}

TEST(SceneLists, WorkedExampleCompilesToItsTables) {
  const CompiledText c(
      "title Morning\nThe sun rose.\n{Road}\nselect Road\nForest\n<%gold>=10>Market\n"
      "scene Forest\nTrees everywhere.\nscene Market\nStalls and noise.\n");
  EXPECT_EQ(c.errors, 0);
  EXPECT_EQ(c.messages(), "");
  EXPECT_EQ(c.scenario.choice_points, 1);
  EXPECT_EQ(c.scenario.scenes.scene_count(), 17);
  EXPECT_EQ(c.targets(13), (Scenes{14}));
  EXPECT_EQ(c.lines(14), (Lines{"The sun rose.", "{Road}"}));
  EXPECT_EQ(c.targets(14), (Scenes{0}));
  EXPECT_EQ(c.targets(15), (Scenes{16, 17}));
  EXPECT_EQ(c.conditions(15), (Lines{"", "%gold>=10"}));
  EXPECT_FALSE(c.scenario.scenes.list(15)->lines.present());
  EXPECT_EQ(c.lines(16), (Lines{"Trees everywhere."}));
  EXPECT_EQ(c.lines(17), (Lines{"Stalls and noise."}));
}

TEST(SceneLists, ChoicePointsCountTitlesAndSelectBlocksWithMoreThanOneLine) {
  const struct {
    const char* scenario;
    int list;  // the scene whose targets are checked
    Scenes targets;
    int choice_points;
  } cases[] = {
      {"select X\nForest\nRiver\nscene Forest\nscene River\n", 14, {15, 16}, 1},
      {"select X\nForest\nscene Forest\n", 14, {15}, 0},
      {"select X\n", 14, {}, 0},
      {"select X\nX\nX\nX\n", 14, {14, 14, 14}, 1},
      // The title list: one record per title block, in source order.
      {"title A\nkoru K\ntitle B\nselect S\nA\nscene C\ntitle D\n", 13, {14, 15, 18}, 1},
      {"scene A\ntitle B\n", 13, {15}, 0},
      // Koru and system_mes blocks take no scene number.
      {"scene A\nkoru B\nscene C\nselect D\nC\nsystem_mes E\nA\n", 16, {15}, 0},
  };
  for (const auto& c : cases) {
    const CompiledText compiled(c.scenario);
    EXPECT_EQ(compiled.errors, 0) << c.scenario;
    EXPECT_EQ(compiled.targets(c.list), c.targets) << c.scenario;
    EXPECT_FALSE(compiled.scenario.scenes.list(c.list)->lines.present()) << c.scenario;
    EXPECT_EQ(compiled.scenario.choice_points, c.choice_points) << c.scenario;
  }
}

TEST(SceneLists, WithoutTitlesTheTitleListSaysSo) {
  const CompiledText c("scene A\n");
  EXPECT_EQ(c.lines(13), (Lines{"/", "No title statement", "/"}));
  EXPECT_EQ(c.targets(13), (Scenes{0}));
  EXPECT_EQ(c.errors, 0);
}

TEST(SceneLists, ConditionRunsToItsClosingBracketAndBlanksBeforeTheDestinationAreSkipped) {
  const struct {
    std::string line;
    const char* condition;
  } cases[] = {
      {"<hero==Anna>Wedding", "hero==Anna"},
      {"<hero==Anna>  Wedding", "hero==Anna"},
      {"<hero==Anna>\x81\x40\tWedding", "hero==Anna"},
      {"<%gold>=10>Wedding", "%gold>=10"},
      {"<%gold<3> Wedding", "%gold<3"},
      {"<\x83\x5c==\x95\x5c>\x81\x40Wedding", "\x83\x5c==\x95\x5c"},
      // Long lines are kept whole: the destination runs to the end of the line.
      {"<%a==1>  Wedding" + std::string(5000, 'y'), "%a==1"},
  };
  for (const auto& c : cases) {
    const std::string destination = c.line.substr(c.line.find("Wedding"));
    const CompiledText compiled("select S\n" + c.line + "\nscene " + destination + "\n");
    EXPECT_EQ(compiled.messages(), "") << c.line;
    EXPECT_EQ(compiled.targets(14), (Scenes{15})) << c.line;
    EXPECT_EQ(compiled.conditions(14), (Lines{c.condition})) << c.line;
  }
}

TEST(SceneLists, EmptyDestinationIsReportedUnlessABlockHasTheEmptyName) {
  const char* const report = "Destination not foud in select statement \"S\"\r\n";
  const struct {
    std::string scenario;
    const char* messages;
  } cases[] = {
      {"select S\n\n", report},
      {"select S\n<%gold>=10>\n", report},
      {"select S\n<%gold>=10>  \n", report},
      {"select S\n<abc>Forest\nscene Forest\n", report},
      // A condition that never closes leaves no destination, however long the line.
      {"select S\n<%gold>=10\nscene Forest\n", report},
      {"select S\n<%a==" + std::string(5000, 'x') + "\nscene Forest\n", report},
      {"select S\n\nscene\n", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompiledText(c.scenario).messages(), c.messages) << c.scenario.substr(0, 40);
  }
}

TEST(CompileScenario, ASecondCompileKeepsNothingOfTheFirst) {
  CompiledText c("title A\ntitle B\nselect S\n<%x==1>A\nMissing\n");
  ASSERT_EQ(c.errors, 1);
  ASSERT_EQ(c.scenario.choice_points, 2);

  MemoryLineSource source("scene C\nselect S\nC\n");
  read_source_lines(source, c.store);
  EXPECT_EQ(compile_scenario(c.store, c.scenario, c.diagnostics), 0);
  EXPECT_EQ(c.messages(), "");
  EXPECT_EQ(c.scenario.scenes.scene_count(), 15);
  EXPECT_EQ(c.scenario.choice_points, 0);
  EXPECT_EQ(c.targets(15), (Scenes{14}));
  EXPECT_EQ(c.conditions(15), (Lines{""}));
  EXPECT_EQ(c.find("A"), 0);
  EXPECT_EQ(c.lines(13), (Lines{"/", "No title statement", "/"}));
}

TEST(CompileScenario, TablesGrowPastTwoHundredThousandScenes) {
  std::string scenario;
  for (int k = 1; k <= 199990; ++k) scenario += "scene " + std::to_string(k) + "\n";
  const CompiledText c(scenario);
  EXPECT_TRUE(c.whole);
  EXPECT_EQ(c.errors, 0);
  EXPECT_EQ(c.scenario.scenes.scene_count(), 200003);
  EXPECT_STREQ(c.scenario.scenes.names[200003], "199990");
  EXPECT_TRUE(c.scenario.scenes.list(200003)->lines.present());
  EXPECT_EQ(c.scenario.scenes.list(200004), nullptr);
}

}  // namespace
}  // namespace plotwright
