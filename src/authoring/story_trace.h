// The path of one story, as --trace shows it: the blocks it entered in order and how, each draw
// of a select block or the title list with its candidates, each directive, and how it ended.
#pragma once

#include <string>
#include <vector>

#include "authoring/scene_names.h"
#include "generator/run_observer.h"

namespace plotwright {

struct TraceEvent {
  // SKIP: an alternative of a jump line not taken (its condition failed, or its scene is
  // disabled); MISSING: the taken alternative names no scene.
  enum class Type { ENTER, SELECT, DIRECTIVE, SKIP, MISSING };
  Type type = Type::ENTER;
  int scene = 0;  // the scene entered, the one whose successor was drawn, or the directive's
                  // target
  SceneEntry how = SceneEntry::START;
  Directive kind = Directive::JUMP;
  int chosen = 0;  // SELECT: the scene drawn, 0 when no candidate qualified
  std::vector<CandidateReport> candidates;
  std::string target;     // SKIP, MISSING: the target as written (scenario encoding)
  std::string reading;    // what the jump line's condition read, when it had one
  bool disabled = false;  // SKIP: left out because the scene is disabled
};

// Records what a run does; clear() before each story.
class TraceRecorder final : public RunObserver {
 public:
  void scene_entered(int scene, SceneEntry how) override;
  void scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                      int chosen) override;
  void directive_applied(int scene, Directive kind, int target) override;
  void jump_line(int scene, const JumpReport& report) override;
  void story_ended(RunEnd end) override { end_ = end; }

  void clear();
  const std::vector<TraceEvent>& events() const { return events_; }
  RunEnd end() const { return end_; }

 private:
  std::vector<TraceEvent> events_;
  RunEnd end_ = RunEnd::NO_SCENES;
  // The taken alternative's reading, for the scene entry or directive that follows it.
  std::string pending_reading_;
};

// "trace of story N:" and one indented line per event (a draw shows its candidates below it),
// for standard error. A condition shows the values it read: "condition false (%storm = 1,
// wanted 2)". `number` counts from 1. Draws are shown where `names` says the scene
// draws; the successor of any other scene shows as the next scene entered.
std::string trace_text(const TraceRecorder& trace, const SceneNames& names, int number);

// The same as a JSON array of event objects, written compactly.
std::string trace_json(const TraceRecorder& trace, const SceneNames& names);

}  // namespace plotwright
