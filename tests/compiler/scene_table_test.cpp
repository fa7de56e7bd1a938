// The built-in scenes, the scene-name lookup and scene references.
#include "compiler/scene_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/japanese_names.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;
using testing::CompiledText;

TEST(BuiltinScenes, BodyComesFromABlockByJapaneseNameFirstThenByAlias) {
  const std::string japanese = std::string("koru ") + kNameStartMessage + "\nJapanese.\n";
  const std::string alias = "system_mes start_message\nAlias.\n";
  EXPECT_EQ(CompiledText(alias).lines(2), (Lines{"Alias."}));
  EXPECT_EQ(CompiledText(alias + japanese).lines(2), (Lines{"Japanese."}));
  EXPECT_EQ(CompiledText(japanese + alias).lines(2), (Lines{"Japanese."}));
  // Scene 6 likewise, from a block of any keyword.
  EXPECT_EQ(CompiledText("select last_message\nBye.\n").lines(6), (Lines{"Bye."}));
}

TEST(BuiltinScenes, TraceNamesEachSearchedSceneWithTheBlockFound) {
  const CompiledText c(std::string("koru start_message\nscene ") + kNameChapterNumber + "\n");
  EXPECT_EQ(c.diagnostics.text(), std::string(kNameStartMessage) + ",0\n" + kNameChapterNumber +
                                      ",2\n" + kNameParagraph + ",0\n" + kNameDummy + ",0\n" +
                                      kNameLastMessage + ",0\n");
}

TEST(BuiltinScenes, TwoBlocksNamedNoTheFirstSuppliesAndIsFound) {
  const CompiledText c("scene No\nfirst\nscene No\nsecond\n");
  EXPECT_EQ(c.lines(3), (Lines{"first"}));
  EXPECT_EQ(c.find("No"), 14);
  EXPECT_EQ(resolve_scene_ref("000015", c.scenario.scenes), 15);
}

TEST(BuiltinScenes, GenerationEntryPrefersTheEntryNameThenVellNovels) {
  const struct {
    std::string scenario;
    int from_first;  // the successors of scenes 1 and 2
    int from_start_message;
  } cases[] = {{"title A\n", 2, 13},
               {"koru Vell_novels\n", 2, 13},
               {"scene Vell_novels\n", 14, 14},
               {std::string("scene Vell_novels\nscene ") + kNameGenerationEntry + "\n", 15, 15}};
  for (const auto& c : cases) {
    const CompiledText compiled(c.scenario);
    EXPECT_EQ(compiled.targets(1), (std::vector<int>{c.from_first})) << c.scenario;
    EXPECT_EQ(compiled.targets(2), (std::vector<int>{c.from_start_message})) << c.scenario;
  }
}

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
