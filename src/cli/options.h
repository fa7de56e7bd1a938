// The command line of the plotwright program: its commands, what a user may ask of each, and
// its parsing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "encoding/scenario_encoding.h"

namespace plotwright::cli {

// Exit statuses of the program.
inline constexpr int kExitStory = 0;     // a story was shown; check found nothing wrong
inline constexpr int kExitScenario = 1;  // the scenario has errors, or is too long
inline constexpr int kExitUsage = 2;     // bad command line, unreadable file, unwritable output

enum class Command {
  STORY,     // plotwright FILE: tell stories
  CHECK,     // plotwright check FILE: diagnostics
  GRAPH,     // plotwright graph FILE: the scene graph
  COVERAGE,  // plotwright coverage FILE --runs N: what N stories reach
  LSP,       // plotwright lsp: the language server on standard input and output
};

struct Options {
  Command command = Command::STORY;
  std::string file;  // the scenario file, as given; "-" is standard input
  InputEncoding encoding = InputEncoding::AUTO;
  std::optional<std::uint32_t> seed;  // seed from this number instead of the clock
  bool no_stats = false;              // neither read nor write the statistics file
  bool verbose = false;               // show the compile's diagnostics on standard error

  // The story command.
  bool raw = false;    // write the engine's bytes unchanged
  bool json = false;   // one JSON object per story per line
  int count = 1;       // stories to write: the load's and count - 1 more
  std::string start;   // begin at this block (a name or a scene number) instead of the start
  bool trace = false;  // show the path each story took
  bool watch = false;  // tell a new story each time the file is saved
  bool check = false;  // with watch: the diagnostics before each story

  // check, graph and coverage.
  std::string format;    // check: text, json, sarif; graph: dot, mermaid; coverage: text, json, csv
  bool werror = false;   // check: warnings make the exit status 1 too
  std::string docs_uri;  // check: where SARIF's rules point for help; "" for the installed copy
  int runs = 0;          // coverage, graph --coverage: stories to run
  bool save_stats = false;  // coverage: write the statistics file afterwards
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
