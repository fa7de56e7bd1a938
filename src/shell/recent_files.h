// The list of recently opened scenario files, kept in the user's settings.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace plotwright::shell {

inline constexpr int kRecentFileCount = 4;

// Most recent first, at most kRecentFileCount entries.
QStringList recent_files(const QSettings& settings);

// Puts `path` at the head of the list; an entry already there moves up rather than repeating.
void remember_recent_file(QSettings& settings, const QString& path);

}  // namespace plotwright::shell
