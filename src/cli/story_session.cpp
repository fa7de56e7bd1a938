// Loading, telling, tracing and saving for the story command.
#include "cli/story_session.h"

#include <ostream>

#include "analysis/scenario_analysis.h"
#include "authoring/checked_scenario.h"
#include "authoring/document_model.h"
#include "authoring/start_block.h"
#include "session/scenario_file_source.h"

namespace plotwright::cli {

platform::DiskFileStore::BusyNotice warn_when_locked(std::ostream& err) {
  return [&err](const std::string& path) {
    err << "plotwright: warning: " << path
        << ": is locked by another program; waiting for it to save the statistics" << std::endl;
  };
}

void show_note(const session::Note& note, std::ostream& err) {
  switch (note.kind) {
    case session::NoteKind::SCENARIO_FILE:
    case session::NoteKind::STATISTICS_NOT_KEPT:
    case session::NoteKind::STATISTICS_REFUSED:
      err << "plotwright: warning: " << note.text << '\n';
      break;
    case session::NoteKind::STATISTICS_READ_ONLY:
      err << "plotwright: note: " << note.text << '\n';
      break;
    case session::NoteKind::STATISTICS_NOT_SAVED:
      // A statistics file that cannot be written costs the user nothing of the story: warn only.
      err << "plotwright: warning: could not save statistics: " << note.text << '\n';
      break;
    case session::NoteKind::CUT_SHORT:
      err << "plotwright: note: story " << note.story << " was cut short by " << note.text << '\n';
      break;
  }
}

StorySession::StorySession(const Options& options, Cp932Codec& codec, std::ostream& out,
                           std::ostream& err)
    : options_(options),
      codec_(codec),
      out_(out),
      err_(err),
      shown_(err, codec),
      teller_(codec, teller_setup(options, err, options.verbose ? &shown_ : nullptr,
                                  options.trace ? &trace_ : nullptr)),
      writer_(options, out, codec) {}

session::TellerSetup teller_setup(const Options& options, std::ostream& err,
                                  DiagnosticSink* diagnostics, RunObserver* observer) {
  session::TellerSetup setup;
  setup.diagnostics = diagnostics;
  setup.observer = observer;
  setup.seed = options.seed;
  setup.statistics =
      options.no_stats ? session::StatisticsPlace::NONE : session::StatisticsPlace::DISK;
  if (!options.no_stats) setup.disk = session::disk_statistics_store(warn_when_locked(err));
  return setup;
}

// The scene --start names, set before the load so that the load's story starts there too.
bool StorySession::choose_start(const std::string& engine_bytes) {
  if (options_.start.empty()) return true;
  const ScenarioAnalysis analysis(engine_bytes);
  std::string error;
  int scene = 0;
  if (!find_start_scene(options_.start, analysis, codec_, scene, &error)) {
    err_ << "plotwright: --start: " << error << '\n';
    return false;
  }
  teller_.set_start_scene(scene);
  return true;
}

void StorySession::name_scenes() {
  names_.reset();
  model_ = document_model(*teller_.document());
  names_.emplace(*model_, codec_);
}

// One story: its text, then its trace on standard error (in --json, inside its line), and a
// note when a limit cut its run short (which a text trace already tells).
void StorySession::write_story(const session::Story& story,
                               const std::vector<session::Note>& notes) {
  const int index = index_++;
  if (!story.generated || !options_.trace) {
    writer_.write(story.engine, index);
  } else if (options_.json) {
    writer_.write(story.engine, index, trace_json(trace_, *names_));
  } else {
    writer_.write(story.engine, index);
    out_.flush();
    err_ << trace_text(trace_, *names_, index + 1);
  }
  trace_.clear();
  if (options_.trace && !options_.json) return;
  for (const session::Note& note : notes) {
    if (note.kind != session::NoteKind::CUT_SHORT) continue;
    out_.flush();
    show_note(note, err_);
  }
}

void StorySession::point_at_errors(const std::string& name, const std::string& engine_bytes) {
  std::unique_ptr<CheckedScenario> checked;
  if (options_.check ||
      !CheckedScenario::check(codec_, engine_bytes, InputEncoding::SHIFT_JIS, checked, nullptr)) {
    return;
  }
  out_.flush();
  err_ << error_lines(*checked, name);
  err_ << "plotwright: note: \"plotwright check " << options_.file << "\" shows the warnings too\n";
}

int StorySession::tell(const std::string& name, const session::OpenedScenario& scenario) {
  if (!choose_start(scenario.engine_bytes)) return kExitUsage;
  trace_.clear();
  const session::Story first = teller_.load(scenario);
  shown_.finish();
  const std::vector<session::Note> notes = teller_.take_notes();
  for (const session::Note& note : notes) {
    if (note.kind != session::NoteKind::CUT_SHORT) show_note(note, err_);
  }
  if (first.generated && options_.trace) name_scenes();
  // The messages are written once: there is no story to repeat.
  write_story(first, notes);  // its text is valid only until the next regeneration
  if (!first.generated) point_at_errors(name, scenario.engine_bytes);
  for (int story = 1; first.generated && story < options_.count && out_; ++story) {
    const session::Story next = teller_.regenerate().value_or(session::Story{true, {}});
    write_story(next, teller_.take_notes());  // the notes of this story, so after it
  }
  shown_.finish();
  out_.flush();
  if (!out_) return kExitUsage;
  return first.generated ? kExitStory : kExitScenario;
}

int StorySession::finish(int status) {
  out_.flush();
  if (!out_) {
    static_cast<void>(teller_.finish(false, nullptr));  // dropping them cannot fail
    err_ << "plotwright: could not write the story to standard output\n";
    return kExitUsage;
  }
  std::string unsaved;
  if (!teller_.finish(true, &unsaved)) {
    show_note(session::Note{session::NoteKind::STATISTICS_NOT_SAVED, unsaved, 0}, err_);
  }
  return status;
}

}  // namespace plotwright::cli
