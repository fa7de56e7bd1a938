// The program's arguments and standard streams on POSIX systems: as they are.
#include "platform/program_session.h"

namespace plotwright::platform {

ProgramSession::ProgramSession(int argc, char** argv) {
  keep(std::vector<std::string>(argv, argv + argc));
}

ProgramSession::~ProgramSession() = default;

}  // namespace plotwright::platform
