// Helpers shared by the desktop program's tests: scripted prompts, files and menu lookups.
#include "shell/shell_test_support.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace plotwright::shell::testing {

void write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

void press_ctrl(MainWindow& window, Qt::Key key) {
  window.show();
  if (!QTest::qWaitForWindowActive(&window)) qFatal("the window did not become active");
  QTest::keyClick(&window, key, Qt::ControlModifier);
}

}  // namespace plotwright::shell::testing
