// Running many stories of a scenario in memory for the coverage and graph commands: the load's
// story and the regenerations after it, counted by a recorder.
#pragma once

#include <iosfwd>
#include <memory>

#include "authoring/coverage_run.h"
#include "cli/options.h"
#include "cli/scenario_input.h"

namespace plotwright::cli {

// Whether a run of `runs` stories shows a progress bar: only on a terminal, and only when it
// lasts long enough to need one.
bool wants_progress(int runs);

// Loads the decoded scenario of `input` and tells options.runs stories, starting from its
// statistics file when there is one (and options.no_stats is not set) and writing it only with
// options.save_stats. A progress bar goes to `err` when `progress` is set. Returns kExitStory;
// kExitScenario, with the compile's messages on `err`, when the scenario tells no story.
int run_coverage_stories(const Options& options, ScenarioInput& input, bool progress,
                         CoverageRun& run, std::ostream& err);

}  // namespace plotwright::cli
