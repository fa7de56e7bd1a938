// The command-line program: stories, and the author tools around them.
#include <exception>
#include <iostream>

#include "cli/check_command.h"
#include "cli/coverage_command.h"
#include "cli/graph_command.h"
#include "cli/options.h"
#include "cli/story_command.h"
#include "lsp/language_server.h"
#include "platform/program_session.h"

namespace {

int run(const plotwright::cli::Options& options) {
  using namespace plotwright::cli;
  switch (options.command) {
    case Command::CHECK:
      return run_check(options, std::cout, std::cerr);
    case Command::LSP:
      return plotwright::lsp::run_language_server(0, 1, std::cerr);
    case Command::GRAPH:
      return run_graph(options, std::cout, std::cerr);
    case Command::COVERAGE:
      return run_coverage(options, std::cout, std::cerr);
    case Command::STORY:
      break;
  }
  return run_story(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace plotwright::cli;
  // UTF-8 arguments, and standard streams that carry bytes unchanged.
  const plotwright::platform::ProgramSession session(argc, argv);
  // Stories are written in large blocks: standard output is not shared with C's stdio.
  std::ios::sync_with_stdio(false);
  static char buffer[1 << 16];
  std::cout.rdbuf()->pubsetbuf(buffer, sizeof buffer);
  const ParsedCommandLine parsed =
      parse_command_line(session.argc(), session.argv(), std::cout, std::cerr);
  if (!parsed.options) return parsed.exit_status;
  try {
    return run(*parsed.options);
  } catch (const std::exception& e) {  // e.g. no memory
    std::cerr << "plotwright: " << e.what() << '\n';
    return kExitUsage;
  }
}
