// The story command: read and decode the scenario, tell its stories, save the statistics; with
// --watch, tell more each time the file is saved, until Ctrl+C.
#include "cli/story_command.h"

#include <memory>
#include <ostream>
#include <sstream>

#include "authoring/checked_scenario.h"
#include "cli/check_command.h"
#include "cli/scenario_input.h"
#include "cli/story_session.h"
#include "platform/file_watcher.h"

namespace plotwright::cli {

namespace {

// With --check: the scenario's diagnostics, before its story. Needs the file's own bytes.
void show_diagnostics(const Options& options, ScenarioInput& input, std::ostream& err) {
  if (!options.check) return;
  std::unique_ptr<CheckedScenario> checked;
  if (CheckedScenario::check(*input.codec, input.scenario.file_bytes, options.encoding, checked,
                             nullptr)) {
    write_diagnostics_text(input.name, *checked, err);
  }
}

// Reads the changed file, once more after a pause when it cannot be read at first (an editor
// may be between removing the old file and writing the new one). False when it still cannot
// be, with the reason on `err`, or when a stop request came during the pause (`stopped`).
bool reread(const Options& options, platform::FileWatcher& watcher, ScenarioInput& input,
            bool& stopped, std::ostream& err) {
  std::ostringstream first_try;  // its notes are shown, a failure only when it lasts
  if (read_input(options, input, first_try)) {
    err << first_try.str();
    return true;
  }
  stopped = watcher.pause(platform::kWatchSettleMilliseconds);
  return !stopped && read_input(options, input, err);
}

int watch_stories(const Options& options, ScenarioInput& input, StorySession& session,
                  std::ostream& out, std::ostream& err) {
  std::string error;
  const std::unique_ptr<platform::FileWatcher> watcher =
      platform::watch_file(options.file, platform::kWatchSettleMilliseconds, &error);
  if (!watcher) {
    err << "plotwright: --watch: cannot follow " << input.name << ": " << error << '\n';
    return kExitUsage;
  }
  show_diagnostics(options, input, err);
  if (!decode_input(input, err)) return kExitUsage;
  int status = session.tell(input.name, input.scenario);
  if (status == kExitUsage) return session.finish(status);
  for (;;) {
    out.flush();
    err << "plotwright: waiting for " << input.name << " to change (Ctrl+C ends)\n";
    const platform::WatchEvent event = watcher->wait(&error);
    if (event == platform::WatchEvent::STOPPED) break;
    if (event == platform::WatchEvent::FAILED) {
      err << "plotwright: --watch: " << input.name << ": " << error << '\n';
      return session.finish(kExitUsage);
    }
    ScenarioInput changed;
    bool stopped = false;
    if (!reread(options, *watcher, changed, stopped, err)) {
      if (stopped) break;
      continue;
    }
    show_diagnostics(options, changed, err);
    if (!decode_input(changed, err)) continue;
    // A --start that names nothing in the new version is reported; the watch goes on.
    const int told = session.tell(changed.name, changed.scenario);
    if (!out) break;
    if (told != kExitUsage) status = told;
  }
  return session.finish(status);
}

}  // namespace

int run_story(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.watch && options.file == "-") {
    err << "plotwright: --watch needs a file; standard input cannot change\n";
    return kExitUsage;
  }
  ScenarioInput input;
  if (!read_input(options, input, err)) return kExitUsage;
  StorySession session(options, *input.codec, out, err);
  if (options.watch) return watch_stories(options, input, session, out, err);
  if (!decode_input(input, err)) return kExitUsage;
  return session.finish(session.tell(input.name, input.scenario));
}

}  // namespace plotwright::cli
