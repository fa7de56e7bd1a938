// One run of the plotwright program: read the scenario, load it, write the stories.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/options.h"

namespace plotwright::cli {

// Runs the program with parsed options: stories go to `out`, messages to `err`. Returns the
// exit status (kExitStory, kExitScenario or kExitUsage).
int run(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
