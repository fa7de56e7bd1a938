// Choosing the next scene when a scene has run out of lines: among its candidates (its
// successor, or a select scene's choices) whose scene is enabled and at the highest priority,
// those whose condition holds and that were used least often tie, and one is drawn at random.
#pragma once

#include "base/random_source.h"
#include "compiler/scene_table.h"
#include "generator/run_state.h"
#include "generator/variables.h"

namespace plotwright {

// Returns the chosen candidate's target, or 0 when none qualifies (no draw is made then).
int select_next_scene(const Record* list, const RunState& run_state, VariableStore& variables,
                      RandomSource& random);

}  // namespace plotwright
