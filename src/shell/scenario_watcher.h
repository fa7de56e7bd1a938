// Follows the open scenario file on disk and says, once a burst of saves has settled, that it
// changed.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include "platform/file_watcher.h"

namespace plotwright::shell {

// Editors save in many ways: writing the file in place (several change events), or writing a
// new file and renaming it over the old one (the watch on the old file ends). The watcher
// follows the path, not the file: after each burst it watches whatever file is at the path
// then, and it watches the folder too, so that a file that was missing is noticed when it
// comes back. Only changes to the path itself count; other files in the folder (the usage
// statistics written beside the scenario among them) never do.
class ScenarioWatcher final : public QObject {
  Q_OBJECT

 public:
  // How long the path must stay quiet before `changed` is emitted.
  static constexpr int kSettleMilliseconds = platform::kWatchSettleMilliseconds;

  explicit ScenarioWatcher(QObject* parent = nullptr);

  // Follows the absolute `path` from now on; an empty path stops following. Following the
  // path already followed changes nothing, so that no change pending is lost.
  void follow(const QString& path);
  const QString& path() const { return path_; }

  // Emits `changed` once more after the settling time, as if the path had changed again.
  void check_again();

 signals:
  // The followed path changed (or is gone) and has been quiet for the settling time.
  void changed(const QString& path);

 private:
  void file_changed(const QString& path);
  void folder_changed(const QString& folder);
  void settled();
  void watch_file();

  QFileSystemWatcher watcher_;
  QTimer settle_;
  QString path_;
  bool missing_ = false;  // the path held no file when last looked at
};

}  // namespace plotwright::shell
