// Standard file dialogs and message boxes for the window's questions.
#include "shell/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace plotwright::shell {

namespace {
const QString kAllFiles = QStringLiteral("All files (*)");
}

QString DialogPrompts::choose_scenario(QWidget* parent, const QString& start_directory) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), start_directory, kAllFiles);
}

QString DialogPrompts::choose_story_file(QWidget* parent, const QString& suggested_path) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Save story as"), suggested_path,
                                      kAllFiles);
}

void DialogPrompts::show_error(QWidget* parent, const QString& message) {
  QMessageBox::warning(parent, QStringLiteral("Plotwright"), message);
}

}  // namespace plotwright::shell
