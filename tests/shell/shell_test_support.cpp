// Helpers shared by the desktop program's tests: scripted prompts, files and menu lookups.
#include "shell/shell_test_support.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace plotwright::shell::testing {

QString ScriptedPrompts::choose_scenario(QWidget*, const QString& start_directory) {
  ++questions;
  last_start_directory = start_directory;
  return scenario_answer;
}

QString ScriptedPrompts::choose_story_file(QWidget*, const QString& suggested_path) {
  ++questions;
  last_suggested_path = suggested_path;
  return story_answer;
}

void write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

StoryView* story_view(MainWindow& window) {
  return window.findChild<StoryView*>(QStringLiteral("story"));
}

QAction* menu_action(MainWindow& window, const QString& menu, const QString& item) {
  for (QAction* title : window.menuBar()->actions()) {
    if (title->text() != menu || title->menu() == nullptr) continue;
    for (QAction* action : title->menu()->actions()) {
      if (action->text() == item) return action;
    }
  }
  qFatal("no menu item %s > %s", qPrintable(menu), qPrintable(item));
  return nullptr;
}

}  // namespace plotwright::shell::testing
