// Reading and decoding the scenario named on the command line.
#include "cli/scenario_input.h"

#include <ostream>

#include "session/scenario_file_source.h"

namespace plotwright::cli {

bool read_input(const Options& options, ScenarioInput& input, std::ostream& err) {
  input.name = options.file == "-" ? "standard input" : options.file;
  std::string error;
  // A watched file is read again at each change, while Ctrl+C waits: it must never block then.
  if (!session::scenario_from_file(options.file, !options.watch, options.encoding, input.scenario,
                                   &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return false;
  }
  for (const session::Note& note : input.scenario.notes) {
    // Who asked for no statistics is not told that none are kept.
    const bool plain = note.kind == session::NoteKind::STATISTICS_READ_ONLY;
    if (options.no_stats && (plain || note.kind == session::NoteKind::STATISTICS_NOT_KEPT)) {
      continue;
    }
    err << (plain ? "plotwright: note: " : "plotwright: warning: ") << input.name << ": "
        << note.text << '\n';
  }
  if (options.no_stats) input.scenario.keep_statistics = false;
  if (!Cp932Codec::open(input.codec, &error)) {
    err << "plotwright: " << error << '\n';
    return false;
  }
  return true;
}

bool decode_input(ScenarioInput& input, std::ostream& err) {
  std::string error;
  if (!session::decode(*input.codec, input.scenario, &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return false;
  }
  std::string().swap(input.scenario.file_bytes);  // a large file is not kept twice
  return true;
}

}  // namespace plotwright::cli
