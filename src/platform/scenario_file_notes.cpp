// The messages and notes of reading a scenario file, shared by the POSIX and Windows readers.
#include "platform/scenario_file_notes.h"

#include "base/limits.h"

namespace plotwright::platform {

void keep_no_statistics(const std::string& name, bool regular, ScenarioFile& file) {
  file.path = name;
  // Standard input never has a statistics file, whatever it is connected to: the same words
  // for a pipe and a redirected file, on every system (Windows sees some redirections as
  // pipes). A stream named as a file says why it has none.
  const bool say_why = !regular && name != "-";
  file.statistics_notes.push_back(say_why ? "is not a regular file; no statistics are kept for it"
                                          : "no statistics are kept for it");
}

std::string read_only_statistics_note(const std::string& real_path, bool folder_writable,
                                      bool statistics_exist) {
  const std::string keep =
      "; no statistics are kept for it (copy it to a folder of your own "
      "to keep them)";
  if (real_path.starts_with(kSystemPrefix) && !real_path.starts_with(kLocalPrefix)) {
    return "is one of the system's files" + keep;
  }
  if (!folder_writable && !statistics_exist) return "is in a folder you cannot write" + keep;
  return {};
}

void note_line_ends(ScenarioFile& file) {
  const std::string& bytes = file.bytes;
  if (bytes.find('\n') == std::string::npos && bytes.find('\r') != std::string::npos) {
    file.notes.push_back(
        "has carriage returns but no line feeds (old Mac line ends): it is "
        "read as one line");
  }
}

}  // namespace plotwright::platform
