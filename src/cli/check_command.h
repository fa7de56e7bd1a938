// The check command: a scenario's diagnostics, as compilers and code-scanning services print
// them (text, JSON or SARIF 2.1.0).
#pragma once

#include <iosfwd>
#include <string>

#include "authoring/checked_scenario.h"
#include "cli/options.h"

namespace plotwright::cli {

// FILE:LINE:COL: severity: message [CODE], one line each.
void write_diagnostics_text(const std::string& file, const CheckedScenario& checked,
                            std::ostream& out);

// Exit status: 0 nothing wrong, 1 an error (with --werror, also a warning), 2 a file error.
int run_check(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
