// Helpers shared by the desktop program's tests: scripted prompts, files and menu lookups.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/story_view.h"

namespace plotwright::shell::testing {

// Answers the window's questions from fields set by the test and records what was asked.
class ScriptedPrompts final : public Prompts {
 public:
  QString choose_scenario(QWidget*, const QString& start_directory) override;
  QString choose_story_file(QWidget*, const QString& suggested_path) override;
  void show_error(QWidget*, const QString& message) override { errors.append(message); }

  QString scenario_answer;  // empty: the user cancels
  QString story_answer;     // empty: the user cancels
  QString last_start_directory;
  QString last_suggested_path;
  int questions = 0;   // file dialogs shown
  QStringList errors;  // messages shown
};

void write_file(const QString& path, const QByteArray& bytes);
QByteArray read_file(const QString& path);

StoryView* story_view(MainWindow& window);
// The action of the menu bar's menu titled `menu` whose text is `item`; fails the test if absent.
QAction* menu_action(MainWindow& window, const QString& menu, const QString& item);

}  // namespace plotwright::shell::testing
