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
  QString choose_scenario(QWidget*, const QString& start_directory) override {
    asked_directory = start_directory;
    return scenario_answer;
  }
  QString choose_story_file(QWidget*, const QString& suggested_path) override {
    suggested = suggested_path;
    return story_answer;
  }
  void show_error(QWidget*, const QString& message) override { errors.append(message); }

  QString scenario_answer;  // empty: the user cancels
  QString story_answer;     // empty: the user cancels
  QString asked_directory;
  QString suggested;
  QStringList errors;  // messages shown
};

void write_file(const QString& path, const QByteArray& bytes);
QByteArray read_file(const QString& path);

StoryView* story_view(MainWindow& window);
// The action of the menu bar's menu titled `menu` whose text is `item`; fails the test if absent.
QAction* menu_action(MainWindow& window, const QString& menu, const QString& item);
// Shows the window and presses `key` with Ctrl, as the user would.
void press_ctrl(MainWindow& window, Qt::Key key);

}  // namespace plotwright::shell::testing
