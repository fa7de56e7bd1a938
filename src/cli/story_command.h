// The story command: read the scenario, load it, write the stories, save the statistics.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/options.h"

namespace plotwright::cli {

// Tells the stories the options ask for: stories go to `out`, messages to `err`. Returns the
// exit status (kExitStory, kExitScenario or kExitUsage).
int run_story(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
