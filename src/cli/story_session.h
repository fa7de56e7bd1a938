// One document telling stories for the story command, load after load (a --watch reloads the
// scenario into the same document): the stories, their traces and the notes about limits,
// and the statistics saved at the end.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "analysis/scenario_model.h"
#include "authoring/scene_names.h"
#include "authoring/story_trace.h"
#include "cli/options.h"
#include "cli/story_writer.h"
#include "encoding/cp932_codec.h"
#include "platform/disk_file_store.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"
#include "session/utf8_diagnostics.h"

namespace plotwright::cli {

// The statistics file on disk, whose updates warn on `err` at once when another program holds
// the file's lock, before they wait for it.
platform::DiskFileStore::BusyNotice warn_when_locked(std::ostream& err);

// The seed and the statistics the options ask for (on disk, with warn_when_locked, or none),
// with the diagnostics' sink and the runs' observer.
session::TellerSetup teller_setup(const Options& options, std::ostream& err,
                                  DiagnosticSink* diagnostics, RunObserver* observer);

// A note of the session as the command line words it on standard error. SCENARIO_FILE and
// STATISTICS_NOT_KEPT notes are shown where the file is read, with its name.
void show_note(const session::Note& note, std::ostream& err);

class StorySession {
 public:
  StorySession(const Options& options, Cp932Codec& codec, std::ostream& out, std::ostream& err);

  // Loads the scenario and writes options.count stories (one, the messages, when it does not
  // compile, and then its errors at their places on standard error; `name` names the file
  // there). Returns kExitStory, kExitScenario, or kExitUsage for a --start that names nothing
  // (nothing loaded then) or for output that could not be written.
  int tell(const std::string& name, const session::OpenedScenario& scenario);
  // Saves the statistics, unless the output failed. Returns `status`, or kExitUsage when the
  // output failed.
  int finish(int status);

 private:
  bool choose_start(const std::string& engine_bytes);
  void point_at_errors(const std::string& name, const std::string& engine_bytes);
  void name_scenes();
  void write_story(const session::Story& story, const std::vector<session::Note>& notes);

  const Options& options_;
  Cp932Codec& codec_;
  std::ostream& out_;
  std::ostream& err_;
  session::Utf8StreamDiagnostics shown_;
  TraceRecorder trace_;
  session::StoryTeller teller_;
  StoryWriter writer_;
  std::optional<ScenarioModel> model_;  // of the loaded scenario, for the trace's names
  std::optional<SceneNames> names_;
  int index_ = 0;  // of the next story
};

}  // namespace plotwright::cli
