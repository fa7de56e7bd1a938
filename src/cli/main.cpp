// The command-line program: loads a scenario and prints its stories.
#include <exception>
#include <iostream>

#include "cli/options.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  using namespace plotwright::cli;
  const ParsedCommandLine parsed = parse_command_line(argc, argv, std::cout, std::cerr);
  if (!parsed.options) return parsed.exit_status;
  try {
    return run(*parsed.options, std::cout, std::cerr);
  } catch (const std::exception& e) {  // e.g. no memory
    std::cerr << "plotwright: " << e.what() << '\n';
    return kExitUsage;
  }
}
