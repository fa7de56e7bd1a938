// The program's main window: one story view, the menu bar and the document commands.
#pragma once

#include <QMainWindow>
#include <QSettings>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

#include "encoding/cp932_codec.h"
#include "platform/scenario_file.h"
#include "shell/prompts.h"
#include "shell/story_backend.h"

namespace plotwright::shell {

class StoryView;

// A single-document window: opening a scenario replaces the one document, and nothing is ever
// considered modified, so no command asks about saving. The story engine, the prompts, the
// settings and the codec belong to the caller and must outlive the window.
class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(StoryBackend& backend, Prompts& prompts, QSettings& settings, Cp932Codec& codec,
             QWidget* parent = nullptr);

  // Opens `scenario`, or starts a new document when it is empty. False when the scenario could
  // not be opened (the user has been told): the program ends then.
  bool start(const QString& scenario);

  // Reads the file, loads it into the engine and shows the resulting text. When the file
  // cannot be read or converted the user is told why and nothing else changes.
  bool open_scenario(const QString& path);

 public slots:
  void new_document();
  void choose_and_open();
  // Writes the shown text to a file of the user's choice; never to a scenario file.
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
  std::optional<platform::ScenarioFile> read_scenario_file(const QString& path);
  void tell_notes(const QString& path, const platform::ScenarioFile& file,
                  const std::string& statistics_warning);
  bool is_opened_scenario(const QString& path) const;
  QString suggested_story_path() const;

  StoryBackend& backend_;
  Prompts& prompts_;
  QSettings& settings_;
  Cp932Codec& codec_;
  StoryView* view_;
  QString current_scenario_;      // absolute path of the last scenario opened, or empty
  QStringList opened_scenarios_;  // canonical paths of every scenario opened in this run
  bool finished_ = false;
};

}  // namespace plotwright::shell
