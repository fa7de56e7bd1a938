// Terminals, through POSIX.
#include "platform/terminal.h"

#include <unistd.h>

namespace plotwright::platform {

bool standard_error_is_terminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace plotwright::platform
