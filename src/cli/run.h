// One run of the plotwright program: read the scenario, load it, write the stories.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/options.h"

namespace plotwright::cli {

// A whole file's bytes, or why they could not be read.
struct FileContent {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason, e.g. "No such file or directory"
};

FileContent read_whole_file(const std::string& path);

// Runs the program with parsed options: stories go to `out`, messages to `err`. Returns the
// exit status (kExitStory, kExitScenario or kExitUsage).
int run(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
