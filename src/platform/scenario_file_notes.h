// What reading a scenario file says the same way on every system: the notes about how the file
// was read.
#pragma once

#include <string>

#include "platform/scenario_file.h"

namespace plotwright::platform {

// For a scenario read from standard input or a stream: its path is its name, and a note says
// that no statistics are kept for it.
// What is said of a device that is no terminal (/dev/zero, a disk, NUL): it could only be read
// to its end, or to the size limit, for nothing.
inline constexpr const char* kDeviceRefused = "is a device, not a file, a pipe or a terminal";

void keep_no_statistics(const std::string& name, bool regular, ScenarioFile& file);

// The system's own files, which its package manager owns: no program writes beside them. What
// the administrator installs locally is not among them.
inline constexpr const char* kSystemPrefix = "/usr/";
inline constexpr const char* kLocalPrefix = "/usr/local/";

// Why the statistics of the scenario at `real_path` (resolved, absolute) are not to be kept
// beside it, as a note that follows the file's name; empty when they may be. They are not kept
// under kSystemPrefix (outside kLocalPrefix), where even root must not leave a file that no
// package owns, nor in a folder the user cannot write when no statistics file is there to
// update.
std::string read_only_statistics_note(const std::string& real_path, bool folder_writable,
                                      bool statistics_exist);

// Notes a file whose lines end in carriage returns alone (old Mac line ends).
void note_line_ends(ScenarioFile& file);

}  // namespace plotwright::platform
