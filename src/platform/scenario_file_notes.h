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

// Notes a file whose lines end in carriage returns alone (old Mac line ends).
void note_line_ends(ScenarioFile& file);

}  // namespace plotwright::platform
