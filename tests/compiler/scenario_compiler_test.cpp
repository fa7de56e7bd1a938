// The compile where the story cannot show it: which keyword a line matches, a scenario compiled
// again, and one far larger than the design's tables.
#include "compiler/scenario_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using Scenes = std::vector<int>;
using testing::CompiledText;

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

TEST(CompileScenario, ASecondCompileKeepsNothingOfTheFirst) {
  CompiledText c("title A\ntitle B\nselect S\n<%x==1>A\nMissing\n");
  ASSERT_EQ(c.errors, 1);
  ASSERT_EQ(c.scenario.choice_points, 2);

  MemoryLineSource source("scene C\nselect S\nC\n");
  ASSERT_TRUE(read_source_lines(source, c.store));
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
