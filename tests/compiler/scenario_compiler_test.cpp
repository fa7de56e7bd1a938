// The compile driver: a scenario compiled again is built afresh, and large scenarios fit.
#include "compiler/scenario_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/compile_support.h"

namespace plotwright {
namespace {

using testing::CompiledText;

TEST(CompileScenario, ASecondCompileKeepsNothingOfTheFirst) {
  CompiledText c("title A\ntitle B\nselect S\n<%x==1>A\nMissing\n");
  ASSERT_EQ(c.errors, 1);
  ASSERT_EQ(c.scenario.choice_points, 2);

  MemoryLineSource source("scene C\nselect S\nC\n");
  read_source_lines(source, c.store);
  c.output->reset();
  EXPECT_EQ(compile_scenario(c.store, c.scenario, *c.output, c.diagnostics), 0);
  EXPECT_EQ(c.scenario.scenes.scene_count(), 15);
  EXPECT_EQ(c.scenario.choice_points, 0);
  EXPECT_EQ(c.targets(15), (std::vector<int>{14}));
  EXPECT_EQ(c.conditions(15), (std::vector<std::string>{""}));
  EXPECT_EQ(c.find("A"), 0);
  EXPECT_EQ(c.lines(13), (std::vector<std::string>{"/", "No title statement", "/"}));
}

TEST(CompileScenario, TablesGrowPastTwoHundredThousandScenes) {
  std::string scenario;
  for (int k = 1; k <= 199990; ++k) scenario += "scene " + std::to_string(k) + "\n";
  const CompiledText c(scenario);
  EXPECT_EQ(c.read_result, 0);
  EXPECT_EQ(c.errors, 0);
  EXPECT_EQ(c.scenario.scenes.scene_count(), 200003);
  EXPECT_STREQ(c.scenario.scenes.names[200003], "199990");
  EXPECT_TRUE(c.scenario.scenes.list(200003)->lines.present());
  EXPECT_EQ(c.scenario.scenes.list(200004), nullptr);
}

}  // namespace
}  // namespace plotwright
