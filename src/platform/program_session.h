// What a command-line program needs of its host before it reads an argument or writes a byte:
// its arguments in UTF-8, and standard streams that carry bytes unchanged.
#pragma once

#include <string>
#include <vector>

namespace plotwright::platform {

// Lives as long as main(). On POSIX systems the arguments are argv as it is, and the streams
// carry bytes already. On Windows:
// - the arguments come from the UTF-16 command line (GetCommandLineW), so that a file name in
//   any script reaches the program whole, whatever the system's ANSI code page;
// - standard input, output and error are in binary mode: LF stays LF, as the stories' bytes
//   must be the same on every system, and a 0x1A byte does not end the input;
// - a console shows UTF-8 while the program runs: its output code page is set back at the end.
class ProgramSession {
 public:
  ProgramSession(int argc, char** argv);
  ~ProgramSession();
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;

  int argc() const { return static_cast<int>(arguments_.size()); }
  // The arguments in UTF-8, followed by a null pointer, as main() has them.
  const char* const* argv() const { return pointers_.data(); }

 private:
  // Keeps the arguments and points argv() at them.
  void keep(std::vector<std::string> arguments) {
    arguments_ = std::move(arguments);
    for (const std::string& argument : arguments_) pointers_.push_back(argument.c_str());
    pointers_.push_back(nullptr);
  }

  std::vector<std::string> arguments_;
  std::vector<const char*> pointers_;
  // Windows: the console's code page to set back, or 0 (elsewhere unused).
  [[maybe_unused]] unsigned console_code_page_ = 0;
};

}  // namespace plotwright::platform
