// What every command that reads a scenario starts with: the file read and its encoding turned
// into the engine's, or a message on standard error.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/options.h"
#include "encoding/cp932_codec.h"
#include "session/opened_scenario.h"

namespace plotwright::cli {

struct ScenarioInput {
  std::string name;  // how messages name the file: as given, or "standard input"
  session::OpenedScenario scenario;
  std::optional<Cp932Codec> codec;
};

// Reads options.file and opens the codec; false, with a message on `err`, when either fails.
// With --watch, anything but a regular file is refused, without waiting on it.
// The file's notes (no statistics for a stream, old Mac line ends) go to `err` as warnings.
[[nodiscard]] bool read_input(const Options& options, ScenarioInput& input, std::ostream& err);

// Converts the file's bytes to the engine's; false, with a message on `err`, when a character
// has no Shift-JIS form (or, with --encoding utf-8, the file is not UTF-8).
[[nodiscard]] bool decode_input(ScenarioInput& input, std::ostream& err);

}  // namespace plotwright::cli
