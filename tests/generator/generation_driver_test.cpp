// The generation driver: the walk from scene to scene, jumps and returns, the backtrack ring.
#include "generator/generation_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/backtrack_history.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::kClosing;
using testing::kOpening;
using testing::lf;
using testing::ScenarioHarness;

TEST(GenerationDriver, JumpsWorkLikeCallsAndReturnAfterTheJumpLine) {
  const struct {
    const char* scenario;
    const char* body;
  } cases[] = {
      {"title S\nL1\n{T}\nL3\nscene T\nM1\n", "L1\nM1\nL3\n"},
      // The jumped-to scene's successor runs before the return.
      {"title A\na1\n{B}\na2\nselect B\nC\nscene C\nc\n", "a1\nc\na2\n"},
      {"title A\na1\n{B}\na2\nscene B\nb1\n{C}\nb2\nscene C\nc\n", "a1\nb1\nc\nb2\na2\n"},
      // A scene left by a jump resumes after that jump, also when jumped to again.
      {"title S\na\n{T}\nb\n{000007}\nscene T\nc\n{S}\n", "a\nc\nb\n"},
      {"title S\na\n{S}\nb\n{000007}\n", "a\nb\n"},
      // The built-in chapter number and paragraph scenes.
      {"title A\n{No}\n{No}\n", "\n  1.\n\n\n  2.\n\n"},
      {"title A\n{paragraph}\nx\n", "\x81\x40x\n"},
      // A jump to a number beyond the last scene is skipped without a word.
      {"title A\n{099999}\nafter\n", "after\n"},
      // A jump to a scene that is not found runs as a text line; its message waits.
      {"title A\n{Nowhere}\nnext\n", "scene \"Nowhere\" not foundnext\n"},
      {"title A\n(oops\nok\n",
       "illegal parenthesis in message \"(oops\" mismatch found at count of ()\nok\n"},
  };
  for (const auto& c : cases) {
    ScenarioHarness h;
    EXPECT_EQ(body_of(h.load(c.scenario)), c.body) << c.scenario;
  }
}

TEST(GenerationDriver, DirectivesSteerTheSelection) {
  const struct {
    const char* directives;
    const char* body;
  } cases[] = {
      {"", "f\n"},
      {"{!F}\n", "g\n"},
      {"{!F}\n{#F}\n", "f\n"},
      {"{&G}\n", "g\n"},
      {"{&G}\n{*G}\n", "f\n"},
      {"{&+G}\n{&+G}\n{&-G}\n", "g\n"},
      {"{&-G}\n{&+G}\n", "g\n"},  // lowering stops at 0
      {"{&F}\n{&+G}\n{&+G}\n", "g\n"},
  };
  for (const auto& c : cases) {
    ScenarioHarness h;
    const std::string scenario =
        std::string("title A\n") + c.directives + "{R}\nselect R\nF\nG\nscene F\nf\nscene G\ng\n";
    EXPECT_EQ(body_of(h.load(scenario)), c.body) << c.directives;
  }
}

TEST(GenerationDriver, AnUnnamedSceneStartsTheRunAndTheEndSceneEndsItEvenWhenDisabled) {
  ScenarioHarness h;
  EXPECT_EQ(lf(h.load("scene\nStart here.\ntitle A\nHello.\n")),
            std::string("Start here.\n") + kClosing);
  EXPECT_EQ(lf(h.load("title A\nBefore.\n{!000007}\n{000007}\nAfter.\n")),
            std::string(kOpening) + "Before.\n");
}

TEST(GenerationDriver, RunsStopAfter30000LinesOr30000ScenesWithoutALine) {
  ScenarioHarness h;
  // A disabled end scene repeats the closing scene: two lines of the start message, one
  // directive, and the rest closing lines; the scenes without lines on the way cost none.
  const std::string story = h.load("title A\n{!000007}\nscene last_message\nz\n");
  std::size_t closing_lines = 0;
  for (std::size_t at = story.find("z\r\n"); at != std::string::npos;
       at = story.find("z\r\n", at + 1)) {
    ++closing_lines;
  }
  EXPECT_EQ(closing_lines, 29997u);
  EXPECT_EQ(lf(h.load("title A\n{R}\nselect R\nR\n")), kOpening);
  EXPECT_EQ(h.engine().run_state().use_count(15), 30000);
}

TEST(GenerationDriver, UseCountGrowsBeforeTheSelectionSeesItAndOutlivesTheRun) {
  ScenarioHarness h;
  // R may choose itself, but its own use has already been counted when it chooses.
  EXPECT_EQ(body_of(h.load("title A\n{R}\nselect R\nR\nF\nscene F\nf\n")), "f\n");
  EXPECT_EQ(h.engine().run_state().use_count(15), 1);
  // Each run starts with every scene enabled again.
  const std::string expected = std::string(kOpening) + "one\nb\ntwo\n";
  EXPECT_EQ(lf(h.load("title A\none\n{B}\n{!B}\n{B}\ntwo\n{000007}\nscene B\nb\n")), expected);
  EXPECT_EQ(lf(h.regenerate()), expected);
  EXPECT_EQ(h.engine().run_state().use_count(15), 2);
}

TEST(GenerationDriver, ScenesAbove10000KeepTheirRunStateBetweenRuns) {
  // Scene 10001, the last of 9988 named blocks, is jumped to and then disabled.
  std::string scenario = "title A\n{010001}\n{!010001}\n{000007}\n";
  for (int scene = 15; scene <= 10001; ++scene) {
    scenario += "scene S" + std::to_string(scene) + "\nfar\n";
  }
  ScenarioHarness h;
  EXPECT_EQ(body_of(h.load(scenario)), "far\n");
  EXPECT_EQ(body_of(h.regenerate()), "");
}

TEST(GenerationDriver, LineStateFlagsCarryIntoTheNextRun) {
  ScenarioHarness h;
  const std::string first = lf(h.load("title A\nx\n#\n{000007}\n"));
  EXPECT_EQ(first, std::string(kOpening) + "x\n");
  EXPECT_EQ(lf(h.regenerate()), "\x81\x40" + first);
}

// Pops until nothing is left; the source scenes in the order they came back.
std::vector<int> drain(BacktrackHistory& history) {
  std::vector<int> sources;
  std::int32_t scene = -1;
  while (history.history_pop(scene)) sources.push_back(scene);
  EXPECT_EQ(scene, 0);
  return sources;
}

void push(BacktrackHistory& history, int source) {
  history.history_push(source);
}

TEST(BacktrackHistory, EachJumpServesOneReturnNewestFirst) {
  BacktrackHistory history;
  push(history, 14);
  EXPECT_EQ(drain(history), std::vector<int>{14});
  push(history, 15);
  push(history, 16);
  std::int32_t used = 0;
  ASSERT_TRUE(history.history_pop(used));
  EXPECT_EQ(used, 16);
  push(history, 17);
  EXPECT_EQ(drain(history), (std::vector<int>{17, 15}));
}

TEST(BacktrackHistory, TheRingKeepsTheNewest1000Jumps) {
  BacktrackHistory history;
  for (int jump = 1; jump <= 1001; ++jump) push(history, jump);
  const std::vector<int> sources = drain(history);
  ASSERT_EQ(sources.size(), 1000u);
  EXPECT_EQ(sources.front(), 1001);
  EXPECT_EQ(sources.back(), 2);
}

TEST(BacktrackHistory, AResetHidesTheEntriesOfTheEarlierRun) {
  BacktrackHistory history;
  for (int jump = 1; jump <= 5; ++jump) push(history, jump);
  history.reset();
  EXPECT_EQ(drain(history), std::vector<int>{});
  push(history, 9);
  EXPECT_EQ(drain(history), std::vector<int>{9});
}

}  // namespace
}  // namespace plotwright
