// One document telling stories for the story command, load after load (a --watch reloads the
// scenario into the same document): the stories, their traces and the notes about limits,
// and the statistics saved at the end.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "analysis/scenario_model.h"
#include "authoring/scene_names.h"
#include "authoring/story_trace.h"
#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "cli/options.h"
#include "cli/story_writer.h"
#include "controller/document.h"
#include "encoding/cp932_codec.h"
#include "platform/disk_file_store.h"
#include "platform/scenario_file.h"

namespace plotwright::cli {

// Shows diagnostic bytes (Shift-JIS, as the engine writes them) as UTF-8 on a stream. Only
// whole lines are converted, so a double-byte character is never cut in two: a line feed
// byte never occurs inside one.
class Utf8StreamDiagnostics final : public DiagnosticSink {
 public:
  Utf8StreamDiagnostics(std::ostream& stream, Cp932Codec& codec) : stream_(stream), codec_(codec) {}
  void write(std::string_view bytes) override;
  // Writes a last line that came without its line feed.
  void finish();

 private:
  std::ostream& stream_;
  Cp932Codec& codec_;
  std::string pending_;
};

// The statistics file on disk, whose updates warn on `err` at once when another program holds
// the file's lock, before they wait for it.
platform::DiskFileStore::BusyNotice warn_when_locked(std::ostream& err);

class StorySession {
 public:
  StorySession(const Options& options, Cp932Codec& codec, std::ostream& out, std::ostream& err);

  // Loads the scenario and writes options.count stories (one, the messages, when it does not
  // compile, and then its errors at their places on standard error; `name` names the file
  // there). Returns kExitStory, kExitScenario, or kExitUsage for a --start that names nothing
  // (nothing loaded then) or for output that could not be written.
  int tell(const std::string& name, const platform::ScenarioFile& scenario,
           std::string engine_bytes);
  // Saves the statistics, unless the output failed. Returns `status`, or kExitUsage when the
  // output failed.
  int finish(int status);

 private:
  bool choose_start(const std::string& engine_bytes);
  void point_at_errors(const std::string& name, const std::string& engine_bytes);
  void name_scenes();
  void write_story(std::string_view text);

  const Options& options_;
  Cp932Codec& codec_;
  std::ostream& out_;
  std::ostream& err_;
  std::optional<FixedClock> fixed_clock_;
  NullFileStore no_files_;
  platform::DiskFileStore disk_;
  NullDiagnostics hidden_;
  Utf8StreamDiagnostics shown_;
  Document document_;
  StoryWriter writer_;
  TraceRecorder trace_;
  std::optional<ScenarioModel> model_;  // of the loaded scenario, for the trace's names
  std::optional<SceneNames> names_;
  int index_ = 0;  // of the next story
  std::string load_statistics_error_;
};

}  // namespace plotwright::cli
