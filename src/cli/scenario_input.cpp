// Reading and decoding the scenario named on the command line.
#include "cli/scenario_input.h"

#include <ostream>

namespace plotwright::cli {

bool read_input(const Options& options, ScenarioInput& input, std::ostream& err) {
  input.name = options.file == "-" ? "standard input" : options.file;
  std::string error;
  // A watched file is read again at each change, while Ctrl+C waits: it must never block then.
  if (!platform::read_scenario_file(options.file, !options.watch, input.file, &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return false;
  }
  for (const std::string& note : input.file.notes) {
    err << "plotwright: warning: " << input.name << ": " << note << '\n';
  }
  if (options.no_stats) input.file.keep_statistics = false;
  if (!Cp932Codec::open(input.codec, &error)) {
    err << "plotwright: " << error << '\n';
    return false;
  }
  return true;
}

bool decode_input(const Options& options, ScenarioInput& input, std::ostream& err) {
  DecodedScenario decoded;
  std::string error;
  if (!decode_scenario(*input.codec, input.file.bytes, options.encoding, decoded, &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return false;
  }
  input.engine_bytes = std::move(decoded.bytes);
  std::string().swap(input.file.bytes);  // a large file is not kept twice
  return true;
}

}  // namespace plotwright::cli
