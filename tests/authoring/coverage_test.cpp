// What the coverage recorder counts from real runs: each scene once per story however often it
// is entered, each draw and what it took, and the lengths of the stories.
#include "authoring/coverage.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace plotwright {
namespace {

// Scenes, numbered in the file's order: 14 T, 15 Pick, 16 Shut, 17 A, 18 B.
constexpr const char* kScenario =
    "title T\n{Pick}\n{Pick}\n{Shut}\n"
    "select Pick\nA\nB\n"
    "select Shut\n<%never==1>A\n"
    "scene A\na\nscene B\nb\n";

TEST(CoverageRecorder, CountsAStoryOnceForAScenePassedTwice) {
  testing::ScenarioHarness h;
  CoverageRecorder recorder;
  h.document.set_run_observer(&recorder);
  recorder.begin_story();
  h.load(kScenario);
  for (int story = 1; story < 10; ++story) {
    recorder.begin_story();
    h.regenerate();
  }
  EXPECT_EQ(recorder.stories(), 10);
  EXPECT_EQ(recorder.reached(14), 10);
  EXPECT_EQ(recorder.reached(15), 10);  // entered twice in every story
  // The least used is drawn: each story takes A once and B once.
  EXPECT_EQ(recorder.reached(17), 10);
  EXPECT_EQ(recorder.reached(18), 10);
  const SceneDraws* pick = recorder.draws(15);
  ASSERT_NE(pick, nullptr);
  EXPECT_EQ(pick->draws, 20);
  EXPECT_EQ(pick->none, 0);
  EXPECT_EQ(pick->taken, (std::vector<std::pair<int, std::int64_t>>{{17, 10}, {18, 10}}));
  const SceneDraws* shut = recorder.draws(16);
  ASSERT_NE(shut, nullptr);
  EXPECT_EQ(shut->none, 10);
  EXPECT_EQ(recorder.draws(17), nullptr);  // a plain scene draws nothing
  EXPECT_EQ(recorder.ends().at(RunEnd::END_SCENE), 10);
}

TEST(CoverageRecorder, MeasuresStoriesInLinesAndCharacters) {
  CoverageRecorder recorder;
  recorder.add_story_text(
      "ab\n\xe3\x80\x80"
      "c\n");  // U+3000 is one character
  recorder.add_story_text("no line end");
  recorder.add_story_text("");
  EXPECT_EQ(recorder.lines(), (std::vector<std::int64_t>{2, 1, 0}));
  EXPECT_EQ(recorder.characters(), (std::vector<std::int64_t>{4, 11, 0}));
}

TEST(Spread, TakesTheLowerMiddleOfAnEvenCount) {
  const Spread odd = spread_of({5, 1, 9});
  EXPECT_EQ(odd.min, 1);
  EXPECT_EQ(odd.median, 5);
  EXPECT_EQ(odd.max, 9);
  EXPECT_EQ(spread_of({4, 1, 3, 2}).median, 2);
  EXPECT_EQ(spread_of({}).max, 0);
}

}  // namespace
}  // namespace plotwright
