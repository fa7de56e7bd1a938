// Runs at the limits of one story: the backtrack ring, the line limit, the story buffer, the
// variable store, scene cycles and jumps to numbers without a scene. Each gives what the rules
// define.
#include <gtest/gtest.h>

#include <string>

#include "base/limits.h"
#include "controller/engine.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::kClosing;
using testing::kOpening;
using testing::lf;
using testing::ScenarioHarness;

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

bool ends_with_closing_banner(const std::string& story) {
  return lf(story).ends_with(kClosing);
}

TEST(Jumps, A1001DeepCallOutlivesTheRingOf1000Returns) {
  // C1 jumps to C2 and so on to C1001; each prints "after i" once its callee returns. The
  // 1001st jump overwrites the oldest return, the one into the title: the run closes instead.
  std::string file = "title T\n{C1}\nback in the title\n";
  for (int i = 1; i <= 1001; ++i) {
    file += "scene C" + std::to_string(i) + "\n";
    file += i < 1001 ? "{C" + std::to_string(i + 1) + "}\nafter " + std::to_string(i) + "\n"
                     : "deepest\n";
  }
  ScenarioHarness h;
  const std::string story = h.load(file);
  std::string expected = "deepest\n";
  for (int i = 1000; i >= 1; --i) expected += "after " + std::to_string(i) + "\n";
  EXPECT_EQ(body_of(story), expected);
  EXPECT_TRUE(ends_with_closing_banner(story));
}

TEST(Jumps, A100000JumpRunStopsAtTheLineLimit) {
  std::string file = "title T\n";
  for (int i = 0; i < 100000; ++i) file += "{Empty}\n";
  file += "never reached\nscene Empty\n";
  ScenarioHarness h;
  const std::string story = h.load(file);
  EXPECT_EQ(lf(story), kOpening);
  // Lines 3 to 30000 are jumps to Empty, and every jump but the last came back from it.
  const int empty = find_name("Empty", h.engine().scenario().scenes);
  EXPECT_EQ(h.engine().run_state().use_count(empty), kRunLineLimit - 3);
}

TEST(LineLimit, The30000thLineIsTheLastOneRun) {
  // Before the title, the start message runs two lines; after it, the closing scene two.
  auto story_with = [](int title_lines) {
    std::string file = "title T\n";
    for (int i = 0; i < title_lines; ++i) file += "x\n";
    ScenarioHarness h;
    return lf(h.load(file));
  };
  const std::string fits = story_with(kRunLineLimit - 4);
  EXPECT_EQ(occurrences(fits, "x\n"), static_cast<std::size_t>(kRunLineLimit - 4));
  EXPECT_TRUE(fits.ends_with(kClosing));
  const std::string cut = story_with(kRunLineLimit - 3);
  EXPECT_FALSE(cut.ends_with(kClosing));
  EXPECT_TRUE(cut.ends_with("x\n\n"));  // the closing scene's "/" was the last line run
  const std::string long_title = story_with(40000);
  EXPECT_EQ(occurrences(long_title, "x\n"), static_cast<std::size_t>(kRunLineLimit - 2));
}

TEST(StoryBuffer, AStoryThatFillsTheBufferKeepsItsFirst327669Bytes) {
  const std::string line(4000, 'w');
  ScenarioHarness h;
  const std::string story = h.load("title T\n{Loop}\nscene Loop\n" + line + "\n{Loop}\n");
  ASSERT_EQ(story.size(), static_cast<std::size_t>(kStoryCapacity - 1));
  EXPECT_EQ(story.substr(story.size() - 6), line.substr(0, 6));
  // A regeneration starts from an empty buffer and fills it the same way.
  EXPECT_EQ(h.regenerate(), story);
}

TEST(SceneCycles, ACycleOfScenesWithoutLinesEndsTheRunWithTheStorySoFar) {
  ScenarioHarness h;
  const std::string story = h.load("title T\nbefore\n{A}\nafter\nselect A\nB\nselect B\nA\n");
  EXPECT_EQ(lf(story), std::string(kOpening) + "before\n");
  // The search for a line changed scenes 30000 times, half of them into each scene.
  const RunState& counts = h.engine().run_state();
  const SceneTable& scenes = h.engine().scenario().scenes;
  EXPECT_EQ(counts.use_count(find_name("A", scenes)), kStepLimit / 2);
  EXPECT_EQ(counts.use_count(find_name("B", scenes)), kStepLimit / 2);
}

TEST(SixDigitJumps, ANumberWithoutASceneIsSkippedAndItsDirectivesChangeNothing) {
  ScenarioHarness h;
  const std::string story =
      h.load("title T\nbefore\n{099999}\n{!099999}\n{&+099999}\n{*099999}\nafter\n");
  EXPECT_EQ(body_of(story), "before\nafter\n");
  EXPECT_TRUE(ends_with_closing_banner(story));
  EXPECT_EQ(h.engine().run_state().size(), h.engine().scenario().scenes.scene_count());
}

TEST(VariableStore, The81stAndEveryLaterNameIsReportedAndThe80KeepWorking) {
  for (const int names : {81, 500}) {
    std::string file = "title T\n";
    for (int i = 0; i < names; ++i)
      file += "[%v" + std::to_string(i) + "=" + std::to_string(i) + "]\n";
    file += "[%v0] [%v79] [%v80] [%v499]\n";
    ScenarioHarness h;
    const std::string body = body_of(h.load(file));
    std::string expected;
    for (int i = 80; i < names; ++i) {
      expected += "Variable \"v" + std::to_string(i) +
                  "\" could not be defined as count of variables exceed max 80\n";
    }
    EXPECT_EQ(body, expected + "0 79 0 0\n") << names;
  }
}

}  // namespace
}  // namespace plotwright
