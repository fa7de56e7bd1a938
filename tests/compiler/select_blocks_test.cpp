// The title list, select blocks and their choices, and the reports of missing destinations.
#include "compiler/select_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using Scenes = std::vector<int>;
using testing::CompiledText;

TEST(SceneLists, WorkedExampleCompilesToItsTables) {
  const CompiledText c(
      "title Morning\nThe sun rose.\n{Road}\nselect Road\nForest\n<%gold>=10>Market\n"
      "scene Forest\nTrees everywhere.\nscene Market\nStalls and noise.\n");
  EXPECT_EQ(c.errors, 0);
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
  EXPECT_EQ(c.messages(), "");
}

TEST(SceneLists, ChoicePointsCountSelectBlocksWithMoreThanOneLine) {
  const struct {
    const char* scenario;
    Scenes targets;
    int choice_points;
  } cases[] = {
      {"select X\nForest\nRiver\nscene Forest\nscene River\n", {15, 16}, 1},
      {"select X\nForest\nscene Forest\n", {15}, 0},
      {"select X\n", {}, 0},
      {"select X\nX\nX\nX\n", {14, 14, 14}, 1},
  };
  for (const auto& c : cases) {
    const CompiledText compiled(c.scenario);
    EXPECT_EQ(compiled.errors, 0) << c.scenario;
    EXPECT_EQ(compiled.targets(14), c.targets) << c.scenario;
    EXPECT_EQ(compiled.scenario.choice_points, c.choice_points) << c.scenario;
  }
}

TEST(SceneLists, KoruAndSystemMesBlocksTakeNoSceneNumber) {
  EXPECT_EQ(CompiledText("scene A\nselect B\nC\nscene C\n").targets(15), (Scenes{16}));
  const CompiledText c("scene A\nkoru B\nscene C\nselect D\nC\nsystem_mes E\nA\n");
  EXPECT_EQ(c.scenario.scenes.scene_count(), 16);
  EXPECT_EQ(c.lines(15), (Lines{}));
  EXPECT_EQ(c.targets(16), (Scenes{15}));
}

TEST(SceneLists, ConditionRunsToItsClosingBracketAndBlanksBeforeTheDestinationAreSkipped) {
  const struct {
    const char* line;
    const char* condition;
  } cases[] = {
      {"<hero==Anna>Wedding", "hero==Anna"},
      {"<hero==Anna>  Wedding", "hero==Anna"},
      {"<hero==Anna>\x81\x40\tWedding", "hero==Anna"},
      {"<%gold>=10>Wedding", "%gold>=10"},
      {"<%gold<3> Wedding", "%gold<3"},
      {"<\x83\x5c==\x95\x5c>\x81\x40Wedding", "\x83\x5c==\x95\x5c"},
  };
  for (const auto& c : cases) {
    const CompiledText compiled(std::string("select S\n") + c.line + "\nscene Wedding\n");
    EXPECT_EQ(compiled.errors, 0) << c.line;
    EXPECT_EQ(compiled.targets(14), (Scenes{15})) << c.line;
    EXPECT_EQ(compiled.conditions(14), (Lines{c.condition})) << c.line;
  }
}

TEST(SceneLists, MissingDestinationsAreReportedInBlockAndLineOrder) {
  const CompiledText c(
      "select First\nForest \nscene Forest\nselect Second\nRiver\n<%a==1>Lake\nForest\n");
  EXPECT_EQ(c.errors, 3);
  EXPECT_EQ(c.messages(),
            "Scene \"Forest \" not found in select statement \"First\"\r\n"
            "Scene \"River\" not found in select statement \"Second\"\r\n"
            "Scene \"Lake\" not found in select statement \"Second\"\r\n");
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
      {"select S\n<%gold>=10\nscene Forest\n", report},
      {"select S\n\nscene\n", ""},
      {"select S\n<%a==" + std::string(5000, 'x') + "\nscene Forest\n", report},
  };
  for (const auto& c : cases) {
    const CompiledText compiled(c.scenario);
    EXPECT_EQ(compiled.messages(), c.messages) << c.scenario.substr(0, 40);
  }
}

TEST(SceneLists, DestinationOfALongLineRunsToItsEnd) {
  const std::string name(5000, 'y');
  const CompiledText c("select S\n<%a==1>  " + name + "\nscene " + name + "\n");
  EXPECT_EQ(c.messages(), "");
  EXPECT_EQ(c.targets(14), (Scenes{15}));
}

TEST(SceneLists, OnlyNamedScenesCanBeDestinations) {
  const CompiledText c(
      "select S\nk\nstart_message\nlast_message\nparagraph\nNovel_generation\nkoru k\n");
  EXPECT_EQ(c.errors, 3);
  EXPECT_EQ(c.messages(),
            "Scene \"k\" not found in select statement \"S\"\r\n"
            "Scene \"start_message\" not found in select statement \"S\"\r\n"
            "Scene \"last_message\" not found in select statement \"S\"\r\n");
}

TEST(TitleList, OneRecordPerTitleBlockInSourceOrder) {
  const struct {
    const char* scenario;
    Scenes targets;
    int choice_points;
  } cases[] = {
      {"title A\nkoru K\ntitle B\nselect S\nA\nscene C\ntitle D\n", {14, 15, 18}, 1},
      {"scene A\ntitle B\n", {15}, 0},
  };
  for (const auto& c : cases) {
    const CompiledText compiled(c.scenario);
    EXPECT_EQ(compiled.targets(13), c.targets) << c.scenario;
    EXPECT_FALSE(compiled.scenario.scenes.list(13)->lines.present()) << c.scenario;
    EXPECT_EQ(compiled.scenario.choice_points, c.choice_points) << c.scenario;
  }
}

TEST(TitleList, WithoutTitlesTheListSaysSo) {
  const CompiledText c("scene A\n");
  EXPECT_EQ(c.lines(13), (Lines{"/", "No title statement", "/"}));
  EXPECT_EQ(c.targets(13), (Scenes{0}));
  EXPECT_EQ(c.errors, 0);
}

}  // namespace
}  // namespace plotwright
