// Follows the open scenario file on disk and says, once a burst of saves has settled, that it
// changed.
#include "shell/scenario_watcher.h"

#include <QFileInfo>

namespace plotwright::shell {

ScenarioWatcher::ScenarioWatcher(QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMilliseconds);
  connect(&settle_, &QTimer::timeout, this, &ScenarioWatcher::settled);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ScenarioWatcher::file_changed);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ScenarioWatcher::folder_changed);
}

void ScenarioWatcher::follow(const QString& path) {
  if (path == path_) return;
  settle_.stop();
  const QStringList watched = watcher_.files() + watcher_.directories();
  if (!watched.isEmpty()) watcher_.removePaths(watched);
  path_ = path;
  missing_ = false;
  if (path_.isEmpty()) return;
  watcher_.addPath(QFileInfo(path_).absolutePath());
  watch_file();
}

void ScenarioWatcher::check_again() {
  if (!path_.isEmpty()) settle_.start();
}

// Every event of a burst starts the settling time again.
void ScenarioWatcher::file_changed(const QString& path) {
  if (path == path_) settle_.start();
}

// A folder event matters only when the followed file was missing and is back.
void ScenarioWatcher::folder_changed(const QString&) {
  if (missing_ && QFileInfo::exists(path_)) settle_.start();
}

void ScenarioWatcher::settled() {
  watch_file();
  emit changed(path_);
}

// Watches the file now at the path: after a rename over it, an old watch would follow the
// replaced file.
void ScenarioWatcher::watch_file() {
  if (watcher_.files().contains(path_)) watcher_.removePath(path_);
  missing_ = !QFileInfo::exists(path_);
  if (!missing_) watcher_.addPath(path_);
}

}  // namespace plotwright::shell
