// What a run does, told to whoever asks (the trace and coverage of the author tools). A run
// without an observer pays nothing for it, and an observer changes nothing of the story.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "language/directive_syntax.h"

namespace plotwright {

// Why a run ended.
enum class RunEnd {
  END_SCENE,           // it reached the end scene: the story is whole
  LINE_LIMIT,          // 30000 lines run
  SCENE_CHANGE_LIMIT,  // 30000 scene changes without finding a line
  WORK_LIMIT,          // the run's budget of work was spent
  NO_SCENES,           // nothing was compiled
};

// The limit's name for a person, or null for an end that no limit made.
const char* run_limit_name(RunEnd end);

// How a run came to a scene.
enum class SceneEntry { START, SELECTED, JUMPED, RETURNED, CLOSING };

// One candidate of a selection, as the selection weighed it.
struct CandidateReport {
  int target = 0;
  std::int64_t use_count = 0;
  std::int32_t priority = 0;
  bool disabled = false;
  bool condition_holds = true;
  bool tied = false;    // among those the draw chose from
  std::string reading;  // what its condition read, empty without one (see describe_condition)
};

// One alternative of a jump line, as it was tried.
struct AlternativeReport {
  Directive kind = Directive::JUMP;  // its prefix's
  std::string name;                  // the target as written, without the prefix
  bool conditional = false;
  bool holds = true;
  std::string reading;  // what its condition read, empty without one
};

// A jump line (`{...}`): its alternatives in the order tried, the last one the taken one when
// `taken`, and what came of it.
struct JumpReport {
  std::vector<AlternativeReport> alternatives;
  bool taken = false;
  int scene = 0;          // the taken alternative's scene, 0 when it names none
  bool disabled = false;  // a jump to a disabled scene, which does nothing
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void scene_entered(int /*scene*/, SceneEntry /*how*/) {}
  // The scene ran out of lines and the selection weighed its candidates; `chosen` is the
  // target drawn, or 0 when none qualified.
  virtual void scene_selected(int /*scene*/, const std::vector<CandidateReport>& /*candidates*/,
                              int /*chosen*/) {}
  // A directive other than a jump changed a scene's standing.
  virtual void directive_applied(int /*scene*/, Directive /*kind*/, int /*target*/) {}
  // A jump line ran in `scene`: taken, skipped or naming no scene (text in the scenario's
  // encoding). Comes before the scene entry or directive that the line makes.
  virtual void jump_line(int /*scene*/, const JumpReport& /*report*/) {}
  // Story text went out: the story's bytes from `story_offset` on, up to the next such call,
  // came from line `line` (0-based, of the scene's lines) of `scene`. Told as each flush of
  // the pending line begins; a flush whose first bytes an earlier line left pending (a message
  // of a directive line) names that earlier line.
  virtual void text_written(int /*scene*/, int /*line*/, int /*story_offset*/) {}
  virtual void story_ended(RunEnd /*end*/) {}
};

}  // namespace plotwright
