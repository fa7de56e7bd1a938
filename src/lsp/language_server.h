// `plotwright lsp`: the language server on a pair of file descriptors (standard input and
// output), until the editor says exit or the input ends.
#pragma once

#include <iosfwd>

namespace plotwright::lsp {

// Returns the exit status: 0 after shutdown and exit, 1 for an exit without shutdown (or an
// output that failed), 2 when the server cannot start (`err` says why).
int run_language_server(int input, int output, std::ostream& err);

}  // namespace plotwright::lsp
