// The names of the limits that end a run.
#include "generator/run_observer.h"

namespace plotwright {

const char* run_limit_name(RunEnd end) {
  switch (end) {
    case RunEnd::LINE_LIMIT:
      return "the line limit (30000 lines a story)";
    case RunEnd::SCENE_CHANGE_LIMIT:
      return "the scene-change limit (30000 scene changes without a line)";
    case RunEnd::WORK_LIMIT:
      return "the work limit (the work one story may do)";
    case RunEnd::END_SCENE:
    case RunEnd::NO_SCENES:
      return nullptr;
  }
  return nullptr;
}

}  // namespace plotwright
