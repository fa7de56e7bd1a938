// The questions and messages the window puts to the user, behind a seam so that tests can
// answer them without modal dialogs.
#pragma once

#include <QString>

class QWidget;

namespace plotwright::shell {

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A scenario file to open, or an empty string when the user cancels. All files are offered.
  virtual QString choose_scenario(QWidget* parent, const QString& start_directory) = 0;
  // A file to save the story to, or an empty string when the user cancels.
  virtual QString choose_story_file(QWidget* parent, const QString& suggested_path) = 0;
  // A failure the user must acknowledge.
  virtual void show_error(QWidget* parent, const QString& message) = 0;
};

// Standard file dialogs and message boxes.
class DialogPrompts final : public Prompts {
 public:
  QString choose_scenario(QWidget* parent, const QString& start_directory) override;
  QString choose_story_file(QWidget* parent, const QString& suggested_path) override;
  void show_error(QWidget* parent, const QString& message) override;
};

}  // namespace plotwright::shell
