// The list of recently opened scenario files, kept in the user's settings.
#include "shell/recent_files.h"

namespace plotwright::shell {

namespace {
const QString kKey = QStringLiteral("RecentFiles");
}

QStringList recent_files(const QSettings& settings) {
  QStringList files = settings.value(kKey).toStringList();
  if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
  return files;
}

void remember_recent_file(QSettings& settings, const QString& path) {
  QStringList files = recent_files(settings);
  files.removeAll(path);
  files.prepend(path);
  if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
  settings.setValue(kKey, files);
}

}  // namespace plotwright::shell
