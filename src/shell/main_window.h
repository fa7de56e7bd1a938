// The program's main window: one story view, the menu bar and the document commands.
#pragma once

#include <QMainWindow>
#include <QSettings>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/cp932_codec.h"
#include "session/opened_scenario.h"
#include "shell/prompts.h"
#include "shell/story_backend.h"

namespace plotwright::shell {

class ScenarioWatcher;
class StoryView;

// A single-document window: opening a scenario replaces the one document, and nothing is ever
// considered modified, so no command asks about saving. The open scenario is followed on disk:
// when it changes, it is loaded again. The story engine, the prompts, the settings and the
// codec belong to the caller and must outlive the window.
class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // How many of a failed compile's errors its message lists: a box taller than the screen
  // would hide its own button.
  static constexpr int kShownErrorLines = 20;

  MainWindow(StoryBackend& backend, Prompts& prompts, QSettings& settings, Cp932Codec& codec,
             QWidget* parent = nullptr);

  // Opens `scenario`, or starts a new document when it is empty. False when the scenario could
  // not be opened (the user has been told): the program ends then.
  bool start(const QString& scenario);

  // Reads the file, loads it into the engine and shows the resulting text. When the file
  // cannot be read or converted the user is told why and nothing else changes.
  bool open_scenario(const QString& path);

  // Loads the open scenario again, as opening it would, after it changed on disk. A file that
  // cannot be read is tried once more after a moment (an editor may be replacing it); then
  // the user is told once, and the shown story stays.
  void reload_scenario();

 public slots:
  void new_document();
  void choose_and_open();
  // Writes the shown text to a file of the user's choice; never to a scenario file or a
  // statistics file.
  void save_story();
  void regenerate();
  void show_version();
  // Ends the engine's session (the usage statistics are written). Runs once, however many
  // ways the program is left at the same time.
  void finish();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menus();
  void build_keys();
  void show_engine_text(std::string_view engine_text);
  // The scenario file read and converted for the engine.
  std::optional<session::OpenedScenario> read_scenario(const QString& path, QString& error);
  void load(const QString& path, const session::OpenedScenario& scenario, bool reloading);
  // Makes `path` the open scenario: title, recent files, the file followed on disk.
  void remember_opened(const QString& path);
  // Runs `step`, which may show messages and so run the event loop, with any reload that
  // comes due meanwhile held back until it is done.
  void hold_reloads(const std::function<void()>& step);
  QString notes_of(const QString& path, const session::OpenedScenario& scenario,
                   const LoadedScenario& loaded) const;
  bool is_opened_scenario(const QString& path) const;
  // Why the story may not be saved to `path` (a phrase), or empty when it may.
  QString save_refusal(const QString& path) const;
  QString suggested_story_path() const;

  StoryBackend& backend_;
  Prompts& prompts_;
  QSettings& settings_;
  Cp932Codec& codec_;
  StoryView* view_;
  ScenarioWatcher* watcher_;
  QString current_scenario_;      // absolute path of the open scenario, or empty
  QStringList opened_scenarios_;  // canonical paths of every scenario opened in this run
  QString shown_notes_;           // the notes last shown for the current scenario
  bool loading_ = false;          // a load (and the messages it shows) is under way
  bool reload_waiting_ = false;   // the scenario changed while a load was under way
  bool reload_retried_ = false;   // the last reload could not read the file and will try again
  bool finished_ = false;
};

}  // namespace plotwright::shell
