// One run of the plotwright program: read and decode the scenario, load it, write the stories,
// save the statistics.
#include "cli/story_command.h"

#include <memory>
#include <optional>
#include <ostream>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "cli/scenario_input.h"
#include "cli/story_writer.h"
#include "compiler/line_source.h"
#include "controller/document.h"
#include "encoding/scenario_encoding.h"
#include "platform/disk_file_store.h"
#include "platform/scenario_file.h"

namespace plotwright::cli {

namespace {

// Shows diagnostic bytes (Shift-JIS, as the engine writes them) as UTF-8 on a stream. Only
// whole lines are converted, so a double-byte character is never cut in two: a line feed
// byte never occurs inside one.
class Utf8StreamDiagnostics final : public DiagnosticSink {
 public:
  Utf8StreamDiagnostics(std::ostream& stream, Cp932Codec& codec) : stream_(stream), codec_(codec) {}

  void write(std::string_view bytes) override {
    pending_.append(bytes);
    const std::size_t end = pending_.rfind('\n');
    if (end == std::string::npos) return;
    stream_ << codec_.engine_text_to_utf8(std::string_view(pending_).substr(0, end + 1));
    pending_.erase(0, end + 1);
  }

  // Writes a last line that came without its line feed.
  void finish() {
    if (pending_.empty()) return;
    stream_ << codec_.engine_text_to_utf8(pending_) << '\n';
    pending_.clear();
  }

 private:
  std::ostream& stream_;
  Cp932Codec& codec_;
  std::string pending_;
};

// A statistics file that cannot be written costs the user nothing of the story: warn only.
void warn_unsaved_statistics(const std::string& error, std::ostream& err) {
  if (!error.empty()) err << "plotwright: warning: could not save statistics: " << error << '\n';
}

int exit_status_of(const LoadOutcome& loaded) {
  return loaded.generated ? kExitStory : kExitScenario;
}

// Loads the scenario and writes options.count stories. Their uses are counted in the
// statistics only when they reached standard output.
int tell_stories(const Options& options, Cp932Codec& codec, platform::ScenarioFile scenario,
                 std::string engine_bytes, std::ostream& out, std::ostream& err) {
  std::optional<FixedClock> fixed_clock;
  if (options.seed) fixed_clock.emplace(*options.seed);
  NullFileStore no_files;
  platform::DiskFileStore disk;
  NullDiagnostics hidden;
  Utf8StreamDiagnostics shown(err, codec);
  DocumentServices services;
  services.clock = fixed_clock ? &*fixed_clock : nullptr;
  services.files = options.no_stats ? static_cast<FileStore*>(&no_files) : &disk;
  services.diagnostics = options.verbose ? static_cast<DiagnosticSink*>(&shown) : &hidden;

  Document document(services);
  FileLineSource source(std::move(engine_bytes));
  const LoadOutcome loaded =
      document.load_scenario(source, scenario.path, scenario.keep_statistics);
  shown.finish();
  if (!loaded.statistics_warning.empty()) {
    err << "plotwright: warning: " << loaded.statistics_warning << '\n';
  }
  const int status = exit_status_of(loaded);

  StoryWriter writer(options, out, codec);
  writer.write(loaded.text, 0);  // the text is valid only until the next regeneration
  // After a failed load the messages are shown once: there is no story to write again.
  const int count = loaded.generated ? options.count : 1;
  for (int index = 1; index < count && out; ++index) {
    writer.write(document.regenerate().value_or(std::string_view()), index);
  }
  shown.finish();
  out.flush();
  if (!out) {
    document.drop_statistics();
    err << "plotwright: could not write the story to standard output\n";
    return kExitUsage;
  }
  warn_unsaved_statistics(loaded.statistics_error, err);
  std::string unsaved;
  document.shutdown(&unsaved);
  warn_unsaved_statistics(unsaved, err);
  return status;
}

}  // namespace

int run_story(const Options& options, std::ostream& out, std::ostream& err) {
  ScenarioInput input;
  if (!read_input(options, input, err) || !decode_input(options, input, err)) return kExitUsage;
  return tell_stories(options, *input.codec, std::move(input.file), std::move(input.engine_bytes),
                      out, err);
}

}  // namespace plotwright::cli
