// Telling many stories in memory and counting what they reach.
#include "cli/coverage_run.h"

#include <ostream>

#include "cli/story_session.h"
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

// The statistics' notes as warnings; a story cut short is the coverage's own business.
void show_notes(session::StoryTeller& teller, std::ostream& err) {
  for (const session::Note& note : teller.take_notes()) {
    if (note.kind != session::NoteKind::CUT_SHORT) show_note(note, err);
  }
}

}  // namespace

bool wants_progress(int runs) {
  // Below this many stories a run takes well under a second.
  constexpr int kProgressFrom = 10000;
  return runs >= kProgressFrom && platform::standard_error_is_terminal();
}

int run_coverage_stories(const Options& options, ScenarioInput& input, bool progress,
                         CoverageRun& run, std::ostream& err) {
  session::StoryTeller teller(*input.codec, teller_setup(options, err, nullptr, &run.recorder));
  ProgressBar bar(err, options.runs, progress);
  CoverageStories stories;
  stories.runs = options.runs;
  stories.load = [&](session::StoryTeller& t) {
    const session::Story first = t.load(input.scenario);
    std::string().swap(input.scenario.engine_bytes);  // the document keeps its own lines
    show_notes(t, err);
    return first;
  };
  stories.progress = [&](int told) { bar.update(told); };
  const session::Story first = tell_counted_stories(teller, *input.codec, stories, run);
  if (!first.generated) {
    err << teller.text(first.engine)
        << "plotwright: the scenario tells no story, so no stories were run\n";
    return kExitScenario;
  }
  std::string unsaved;
  if (!teller.finish(options.save_stats, &unsaved)) {
    show_note(session::Note{session::NoteKind::STATISTICS_NOT_SAVED, unsaved, 0}, err);
  }
  return kExitStory;
}

}  // namespace plotwright::cli
