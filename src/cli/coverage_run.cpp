// Telling many stories in memory and counting what they reach.
#include "cli/coverage_run.h"

#include <optional>
#include <ostream>

#include "authoring/document_model.h"
#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "cli/story_session.h"
#include "compiler/line_source.h"
#include "controller/document.h"
#include "platform/disk_file_store.h"
#include "platform/terminal.h"

namespace plotwright::cli {

namespace {

// "coverage [#######-------------]  35%  35000/100000" on one line of a terminal, redrawn when
// the percentage changes and erased at the end.
class ProgressBar {
 public:
  ProgressBar(std::ostream& err, int total, bool shown) : err_(err), total_(total), shown_(shown) {}
  ~ProgressBar() {
    if (shown_ && drawn_ >= 0) err_ << '\r' << std::string(kWidth + 40, ' ') << '\r' << std::flush;
  }

  void update(int done) {
    const int percent = static_cast<int>(100LL * done / total_);
    if (!shown_ || percent == drawn_) return;
    drawn_ = percent;
    const int filled = kWidth * percent / 100;
    err_ << "\rcoverage [" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] "
         << percent << "%  " << done << '/' << total_ << std::flush;
  }

 private:
  static constexpr int kWidth = 30;
  std::ostream& err_;
  int total_;
  bool shown_;
  int drawn_ = -1;
};

void show_load_failure(const LoadOutcome& loaded, Cp932Codec& codec, std::ostream& err) {
  std::string text = codec.engine_text_to_utf8(loaded.text);
  if (!text.empty() && text.back() != '\n') text += '\n';
  err << text << "plotwright: the scenario tells no story, so no stories were run\n";
}

}  // namespace

bool wants_progress(int runs) {
  // Below this many stories a run takes well under a second.
  constexpr int kProgressFrom = 10000;
  return runs >= kProgressFrom && platform::standard_error_is_terminal();
}

int run_coverage_stories(const Options& options, ScenarioInput& input, bool progress,
                         CoverageRun& run, std::ostream& err) {
  std::optional<FixedClock> fixed_clock;
  if (options.seed) fixed_clock.emplace(*options.seed);
  NullFileStore no_files;
  platform::DiskFileStore disk(warn_when_locked(err));
  DocumentServices services;
  services.clock = fixed_clock ? &*fixed_clock : nullptr;
  services.files = options.no_stats ? static_cast<FileStore*>(&no_files) : &disk;
  Document document(services);
  document.set_run_observer(&run.recorder);
  Cp932Codec& codec = *input.codec;
  FileLineSource source(std::move(input.engine_bytes));
  run.recorder.begin_story();
  const LoadOutcome loaded =
      document.load_scenario(source, input.file.path, input.file.keep_statistics);
  if (!loaded.statistics_warning.empty()) {
    err << "plotwright: warning: " << loaded.statistics_warning << '\n';
  }
  if (!loaded.generated) {
    show_load_failure(loaded, codec, err);
    return kExitScenario;
  }
  run.model = document_model(document);
  ProgressBar bar(err, options.runs, progress);
  run.recorder.add_story_text(codec.engine_text_to_utf8(loaded.text));
  for (int story = 1; story < options.runs; ++story) {
    bar.update(story);
    run.recorder.begin_story();
    run.recorder.add_story_text(codec.engine_text_to_utf8(*document.regenerate()));
  }
  if (!options.save_stats) document.drop_statistics();
  std::string unsaved;
  if (!document.shutdown(&unsaved)) {
    err << "plotwright: warning: could not save statistics: " << unsaved << '\n';
  }
  return kExitStory;
}

}  // namespace plotwright::cli
