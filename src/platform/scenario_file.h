// Reading a scenario file for a front end: bounded in size, never waiting on an odd file the
// front end did not ask for, and deciding whether its statistics may be kept on disk.
#pragma once

#include <string>
#include <vector>

namespace plotwright::platform {

struct ScenarioFile {
  std::string bytes;  // the file's content, as it is
  // The scenario's path for the document: the real path of a regular file (links and ".."
  // resolved as the system resolved them when it opened the file), so that its statistics
  // land beside the file that was read; the name as given for anything else.
  std::string path;
  // False for a stream (standard input, a FIFO, a terminal), which has nowhere to keep them,
  // and for a scenario whose statistics path is the scenario itself (or the same file), which
  // they would overwrite.
  bool keep_statistics = false;
  // What the user should know, each a phrase that follows the file's name.
  std::vector<std::string> notes;
  // Why no statistics are kept for it, in the same form: of no concern to a user who asked
  // for none.
  std::vector<std::string> statistics_notes;
  // The same for a file that lies where statistics are not to be written (the system's
  // installed examples, a folder the user cannot write): a plain remark, not a fault to warn
  // of at every run.
  std::vector<std::string> read_only_notes;
};

// Reads the scenario `name`; "-" means standard input. With `allow_streams` false, anything but
// a regular file is refused at once, without waiting on it; with it true, a pipe, a socket or a
// terminal is read too, and a device that is no terminal is refused before it is read. A file
// longer than kMaxScenarioBytes is refused as well. False, with the reason in `error` (not naming
// the file), when the file cannot be read.
[[nodiscard]] bool read_scenario_file(const std::string& name, bool allow_streams,
                                      ScenarioFile& file, std::string* error);

}  // namespace plotwright::platform
