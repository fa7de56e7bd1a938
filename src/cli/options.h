// The command line of the plotwright program: what a user may ask for, and its parsing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "encoding/scenario_encoding.h"

namespace plotwright::cli {

// Exit statuses of the program.
inline constexpr int kExitStory = 0;     // a story was shown
inline constexpr int kExitScenario = 1;  // the compile reported errors or the line limit was hit
inline constexpr int kExitUsage =
    2;  // bad command line, unreadable file, unwritable output, encoding

struct Options {
  std::string file;                   // the scenario file, as given
  bool raw = false;                   // write the engine's bytes unchanged
  bool no_stats = false;              // neither read nor write the statistics file
  bool json = false;                  // one JSON object per story per line
  bool verbose = false;               // show the compile's diagnostics on standard error
  std::optional<std::uint32_t> seed;  // seed from this number instead of the clock
  InputEncoding encoding = InputEncoding::kAuto;
  int count = 1;  // stories to write: the load's and count - 1 more
};

// Either options to run with, or the exit status of a command line that has been fully
// handled already (--help, --version, or an error reported on `err`).
struct ParsedCommandLine {
  std::optional<Options> options;
  int exit_status = kExitStory;
};

// Parses argv. --help and --version print to `out`; errors, and a missing FILE, print a
// message and the usage to `err`.
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

// "Plotwright(English version) Ver1.00 (build ...)".
std::string version_text();

}  // namespace plotwright::cli
