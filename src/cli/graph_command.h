// The graph command: the scenario's scene graph for Graphviz or Mermaid, optionally coloured by
// what N stories reach.
#pragma once

#include <iosfwd>

#include "cli/options.h"

namespace plotwright::cli {

// Exit status: 0 the graph was written (also for a scenario with errors: it shows them as
// names that no block bears); 1 with --coverage, when the scenario tells no story; 2 a file or
// output error.
int run_graph(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace plotwright::cli
