// The program's arguments and standard streams on Windows: the UTF-16 command line in UTF-8,
// binary streams, and a console that shows UTF-8.
#include "platform/program_session.h"

// <windows.h> first: the headers of the other Windows APIs need its types.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/windows/win32_file.h"

namespace plotwright::platform {

namespace {

// The command line as the system split it (CommandLineToArgvW: the C runtime's rules), or
// argv as it came when that fails.
std::vector<std::string> utf8_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(to_utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

bool is_console(DWORD which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

}  // namespace

ProgramSession::ProgramSession(int argc, char** argv) {
  keep(utf8_arguments(argc, argv));
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if ((is_console(STD_OUTPUT_HANDLE) || is_console(STD_ERROR_HANDLE)) &&
      ::GetConsoleOutputCP() != CP_UTF8) {
    console_code_page_ = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
  }
}

ProgramSession::~ProgramSession() {
  if (console_code_page_ != 0) ::SetConsoleOutputCP(console_code_page_);
}

}  // namespace plotwright::platform
