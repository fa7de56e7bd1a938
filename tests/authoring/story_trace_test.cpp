// The trace of a story: what the text shows where the golden cases cannot go (a run that a
// limit ends, a draw where nothing qualifies), and the JSON events' members.
#include "authoring/story_trace.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>

#include "analysis/scenario_model.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

class StoryTrace : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec, nullptr)); }

  // Loads `scenario` with the trace recording; the names of its scenes.
  void load(const char* scenario) {
    h.document.set_run_observer(&trace);
    h.load(scenario);
    model = build_model(h.engine().store(), h.engine().scenario());
    names.emplace(*model, *codec);
  }

  std::optional<Cp932Codec> codec;
  testing::ScenarioHarness h;
  TraceRecorder trace;
  std::optional<ScenarioModel> model;
  std::optional<SceneNames> names;
};

TEST_F(StoryTrace, ShowsADrawWhereNothingQualifiedAndTheDirectives) {
  load("title T\n{!A}\n{Shut}\nselect Shut\n<%n==1>A\nA\nscene A\na\n");
  EXPECT_EQ(trace_text(trace, *names, 1),
            "trace of story 1:\n"
            "  start first generation\n"
            "  next start_message\n"
            "  next title list\n"
            "  draw at title list:\n"
            "    T  uses 0  in the draw, drawn\n"
            "  next T\n"
            "  disable A\n"
            "  jump Shut\n"
            "  draw at Shut:\n"
            "    A  uses 0  disabled, condition false (%n = 0, wanted 1)\n"
            "    A  uses 0  disabled\n"
            "    (no candidate qualified)\n"
            "  return T\n"
            "  closing last_message\n"
            "  end\n");
}

TEST_F(StoryTrace, EndsWithTheLimitThatCutTheRunShort) {
  load("title T\n{Spin}\nselect Spin\nTurn\nselect Turn\nSpin\n");
  const std::string text = trace_text(trace, *names, 2);
  EXPECT_TRUE(text.ends_with(
      "  draw at Turn:\n    Spin  uses 15000  in the draw, drawn\n"
      "  next Spin\n"
      "  cut short by the scene-change limit (30000 scene changes without a line)\n"))
      << text.substr(text.size() - 300);
  const nlohmann::json events = nlohmann::json::parse(trace_json(trace, *names));
  EXPECT_EQ(
      events.back().dump(),
      R"j({"event":"end","limit":"the scene-change limit (30000 scene changes without a line)",)j"
      R"j("reason":"scene-change limit"})j");
}

TEST_F(StoryTrace, WritesEachEventAsAnObjectWithItsMembersInNameOrder) {
  load("title T\n{Pick}\nselect Pick\nA\nscene A\na\n");
  const nlohmann::json events = nlohmann::json::parse(trace_json(trace, *names));
  EXPECT_EQ(events[0].dump(),
            R"j({"event":"enter","how":"start","name":"first generation","scene":1})j");
  EXPECT_EQ(
      events[6].dump(),
      R"j({"candidates":[{"condition":true,"disabled":false,"drawn":true,"in_draw":true,)j"
      R"j("name":"A","priority":0,"scene":16,"uses":0}],"event":"draw","name":"Pick","scene":15})j");
  EXPECT_EQ(events.back()["reason"], "end");
  EXPECT_FALSE(events.back().contains("limit"));
}

TEST_F(StoryTrace, WritesSkippedAndMissingAlternativesWithWhatTheirConditionsRead) {
  load("title T\n[%n=2]\n{<%n!=2>A;<4<=%n>!A;<%n==2>A}\n{<%n>=2>Nowhere}\nscene A\na\n");
  const nlohmann::json events = nlohmann::json::parse(trace_json(trace, *names));
  EXPECT_EQ(events[5].dump(),
            R"j({"event":"skip","kind":"jump","read":"%n = 2, wanted not 2","reason":)j"
            R"j("condition false","target":"A"})j");
  EXPECT_EQ(events[6]["read"], "%n = 2, wanted 4 <= %n");
  EXPECT_EQ(events[6]["kind"], "disable");
  EXPECT_EQ(events[7].dump(),
            R"j({"event":"enter","how":"jump","name":"A","read":"%n = 2, wanted 2","scene":15})j");
  EXPECT_EQ(
      events[9].dump(),
      R"j({"event":"missing","kind":"jump","read":"%n = 2, wanted >= 2","target":"Nowhere"})j");
}

}  // namespace
}  // namespace plotwright
