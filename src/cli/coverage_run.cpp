// Telling many stories in memory and counting what they reach.
#include "cli/coverage_run.h"

#include <ostream>

#include "authoring/document_model.h"
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
  Cp932Codec& codec = *input.codec;
  run.recorder.begin_story();
  const session::Story first = teller.load(input.scenario);
  std::string().swap(input.scenario.engine_bytes);  // the document keeps its own lines
  show_notes(teller, err);
  if (!first.generated) {
    err << teller.text(first.engine)
        << "plotwright: the scenario tells no story, so no stories were run\n";
    return kExitScenario;
  }
  run.model = document_model(*teller.document());
  ProgressBar bar(err, options.runs, progress);
  run.recorder.add_story_text(codec.engine_text_to_utf8(first.engine));
  for (int story = 1; story < options.runs; ++story) {
    bar.update(story);
    run.recorder.begin_story();
    run.recorder.add_story_text(codec.engine_text_to_utf8(teller.regenerate()->engine));
  }
  std::string unsaved;
  if (!teller.finish(options.save_stats, &unsaved)) {
    show_note(session::Note{session::NoteKind::STATISTICS_NOT_SAVED, unsaved, 0}, err);
  }
  return kExitStory;
}

}  // namespace plotwright::cli
