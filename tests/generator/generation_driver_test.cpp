// The generation driver: the walk from scene to scene, jumps and returns, and how a run ends.
#include "generator/generation_driver.h"

#include <gtest/gtest.h>

#include <string>

#include "controller/engine.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::lf;
using testing::ScenarioHarness;

constexpr const char* kOpening =
    "---------------------- Plotwright English Version -----------------------\n\n";
constexpr const char* kClosing = "\n-------- Plotwright English Version Ver1.00 ---------\n";

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

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

TEST(GenerationDriver, AnUnnamedSceneIsWhereTheRunStarts) {
  ScenarioHarness h;
  EXPECT_EQ(lf(h.load("scene\nStart here.\ntitle A\nHello.\n")),
            std::string("Start here.\n") + kClosing);
}

TEST(GenerationDriver, JumpToTheEndSceneEndsTheRunEvenWhenItIsDisabled) {
  ScenarioHarness h;
  EXPECT_EQ(lf(h.load("title A\nBefore.\n{!000007}\n{000007}\nAfter.\n")),
            std::string(kOpening) + "Before.\n");
}

TEST(GenerationDriver, DisabledEndSceneRepeatsTheClosingSceneUntilTheLineLimit) {
  ScenarioHarness h;
  const std::string story = h.load("title A\n{!000007}\nscene last_message\nz\n");
  // 30000 lines: two of the start message, one directive, and the rest closing lines; the
  // scenes without lines on the way cost none.
  EXPECT_EQ(occurrences(story, "z\r\n"), 29997u);
}

TEST(GenerationDriver, ACycleOfScenesWithoutLinesEndsTheRun) {
  ScenarioHarness h;
  EXPECT_EQ(lf(h.load("title A\n{R}\nselect R\nR\n")), kOpening);
  EXPECT_EQ(h.engine().run_state.use_count(15), 30000);
}

TEST(GenerationDriver, UseCountGrowsBeforeTheSelectionSeesIt) {
  ScenarioHarness h;
  // R may choose itself, but its own use has already been counted when it chooses.
  EXPECT_EQ(body_of(h.load("title A\n{R}\nselect R\nR\nF\nscene F\nf\n")), "f\n");
  EXPECT_EQ(h.engine().run_state.use_count(15), 1);
}

TEST(GenerationDriver, EveryRunStartsAfreshButKeepsTheUseCounts) {
  ScenarioHarness h;
  const char* scenario = "title A\none\n{B}\n{!B}\n{B}\ntwo\n{000007}\nscene B\nb\n";
  const std::string expected = std::string(kOpening) + "one\nb\ntwo\n";
  EXPECT_EQ(lf(h.load(scenario)), expected);
  EXPECT_EQ(lf(h.regenerate()), expected);
  EXPECT_EQ(h.engine().run_state.use_count(15), 2);
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

}  // namespace
}  // namespace plotwright
