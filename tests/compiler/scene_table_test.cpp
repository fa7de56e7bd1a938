// The scene-name lookup of built-in and named scenes, and scene references by number.
#include "compiler/scene_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/japanese_names.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

using testing::CompiledText;

TEST(FindName, BuiltinScenesFollowTheirLookupRules) {
  const CompiledText plain("title A\n");
  const CompiledText named(std::string("koru paragraph\nscene Novel_generation\nscene dummy\n"
                                       "scene last_message\nscene ") +
                           kNameEnd + "\nscene\nscene dummy\n");
  const struct {
    std::string name;
    int without_blocks;
    int with_blocks;
  } cases[] = {{"paragraph", 4, 4},
               {kNameParagraph, 4, 4},
               {"No", 3, 3},
               {kNameChapterNumber, 3, 3},
               {"dummy", 5, 15},
               {kNameDummy, 5, 5},
               {"Novel_generation", 13, 13},
               {kNameRandomGeneration, 13, 13},
               {"start_message", 0, 0},
               {kNameStartMessage, 0, 0},
               {"last_message", 0, 16},
               {kNameEnd, 0, 17},
               {kNameFirstGeneration, 0, 0},
               {"", 0, 18},
               {"A", 14, 0},
               {"dummy ", 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(plain.find(c.name.c_str()), c.without_blocks) << c.name;
    EXPECT_EQ(named.find(c.name.c_str()), c.with_blocks) << c.name;
  }
  // The closing scene still ends at the built-in end scene.
  EXPECT_EQ(named.targets(6), (std::vector<int>{7}));
}

TEST(FindName, NamedBlocksBeyondSceneTenThousandAreReachableOnlyByNumber) {
  std::string scenario;
  for (int k = 1; k <= 9988; ++k) scenario += "scene S" + std::to_string(k) + "\n";
  const CompiledText c(scenario + "scene No\n");
  EXPECT_EQ(c.find("S1"), 14);
  EXPECT_EQ(c.find("S9987"), 10000);
  EXPECT_EQ(c.find("S9988"), 0);
  EXPECT_EQ(c.find("No"), 3);
  EXPECT_EQ(resolve_scene_ref("010001", c.scenario.scenes), 10001);
}

TEST(ResolveSceneRef, SixDigitsAreANumberAndAnythingElseAName) {
  const CompiledText c("scene 00014x\nscene 12345\n");
  const struct {
    const char* text;
    int scene;
  } cases[] = {{"000007", 7}, {"000014", 14}, {"100014", 14}, {"0000141", 14}, {"999999", 99999},
               {"000000", 0}, {"00014x", 14}, {"12345", 15},  {"00001", 0},    {"paragraph", 4}};
  for (const auto& r : cases) {
    EXPECT_EQ(resolve_scene_ref(r.text, c.scenario.scenes), r.scene) << r.text;
  }
}

}  // namespace
}  // namespace plotwright
