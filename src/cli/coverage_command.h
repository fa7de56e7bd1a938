// The coverage command: run N stories in memory and report what they reach.
#pragma once

#include <iosfwd>

#include "cli/options.h"

namespace plotwright::cli {

// Exit status: 0 a report was written, 1 the scenario tells no story, 2 a file or output error.
int run_coverage(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
