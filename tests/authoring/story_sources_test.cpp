// Story lines traced back to the scenario lines that wrote them: a table of scenarios, each
// with the origin of every story line ("12" a file line, a word a built-in scene's own line).
#include "authoring/story_sources.h"

#include <gtest/gtest.h>

#include "authoring/scene_names.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

struct SourcesCase {
  const char* scenario;
  std::initializer_list<int> draws;
  const char* origins;  // one word per story line
};

// The banners and the chapter number come from the built-in scenes; the draws pick the
// alternatives.
const SourcesCase kCases[] = {
    // An alternative, a jump into a scene with a comment and a continued line, a line joined to
    // the next, the chapter number.
    {"title T\nOne|Two\n{J}\nafter-\n joined\n{No}\nscene J\n;note\nin J\\\n cont\n",
     {0, 0},
     "start_message start_message 2 9 4 No No No last_message last_message"},
    // A group's alternative, a line that ends two story lines; the directive's message that a
    // later line sends out belongs to the directive line.
    {"title T\nA(b|c)d/e\n{!Nowhere}\nx\n",
     {0, 16384},
     "start_message start_message 2 2 3 last_message last_message"},
    // Lines of a message block that gives the closing scene its body.
    {"title T\nx\nscene last_message\nbye\n", {0}, "start_message start_message 2 4"},
};

std::string origins(const std::vector<StoryLineSource>& sources) {
  std::string words;
  for (const StoryLineSource& source : sources) {
    if (!words.empty()) words += ' ';
    words += source.builtin ? builtin_scene_word(source.scene) : std::to_string(source.line);
  }
  return words;
}

TEST(StorySources, NameTheLineThatWroteEachStoryLine) {
  for (const SourcesCase& c : kCases) {
    SCOPED_TRACE(c.scenario);
    testing::ScenarioHarness plain;
    for (const int draw : c.draws) plain.scripted.push(draw);
    const std::string unobserved = plain.load(c.scenario);

    testing::ScenarioHarness h;
    for (const int draw : c.draws) h.scripted.push(draw);
    StorySourceRecorder recorder;
    h.document.set_run_observer(&recorder);
    const std::string story = h.load(c.scenario);
    EXPECT_EQ(story, unobserved);  // watching changes nothing
    EXPECT_EQ(origins(recorder.lines(h.engine(), story)), c.origins) << story;
  }
}

TEST(StorySources, AnEmptyStoryHasOneLineFromNowhere) {
  StorySourceRecorder recorder;
  testing::ScenarioHarness h;
  h.document.set_run_observer(&recorder);
  h.load("title T\nx\n");
  recorder.clear();
  const std::vector<StoryLineSource> lines = recorder.lines(h.engine(), "");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].scene, 0);
  EXPECT_EQ(lines[0].line, 0);
}

}  // namespace
}  // namespace plotwright
