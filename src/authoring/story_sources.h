// Where each line of a story came from: the scenario line that wrote it, as the generator told
// it while the text went out (never by searching the text), for the tools that lead an author
// from a story line back to its source.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "controller/engine.h"
#include "generator/run_observer.h"

namespace plotwright {

// The origin of one story line.
struct StoryLineSource {
  int line = 0;          // the physical line (1-based, as an editor counts) that wrote it; 0: none
  int scene = 0;         // the scene it ran in; 0 when nothing wrote the story line
  bool builtin = false;  // written by a built-in scene's own lines, which no file line holds
};

// Records which line wrote which story bytes; clear() before each story.
class StorySourceRecorder final : public RunObserver {
 public:
  void text_written(int scene, int line, int story_offset) override {
    written_.push_back({scene, line, story_offset});
  }
  void clear() { written_.clear(); }

  // The origins of the lines of the story just recorded, `engine_story` its text as the
  // engine wrote it, split into lines as the session's text() splits it (every LF ends one,
  // and a text not ending in one has one more). A story line joined from several scenario
  // lines is the first one's: the line that began it.
  std::vector<StoryLineSource> lines(const Engine& engine, std::string_view engine_story) const;

 private:
  struct Written {
    int scene;
    int line;  // of the scene's lines
    int offset;
  };
  std::vector<Written> written_;
};

// Forwards every event to two observers, for a story watched for its trace and its sources.
class ObserverPair final : public RunObserver {
 public:
  ObserverPair(RunObserver& first, RunObserver& second) : first_(first), second_(second) {}
  void scene_entered(int scene, SceneEntry how) override;
  void scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                      int chosen) override;
  void directive_applied(int scene, Directive kind, int target) override;
  void jump_line(int scene, const JumpReport& report) override;
  void text_written(int scene, int line, int story_offset) override;
  void story_ended(RunEnd end) override;

 private:
  RunObserver& first_;
  RunObserver& second_;
};

}  // namespace plotwright
