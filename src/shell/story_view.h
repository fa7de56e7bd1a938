// The window's one view: a plain-text edit of the story that wraps at its right edge.
#pragma once

#include <QPlainTextEdit>

namespace plotwright::shell {

// The user may scroll, edit and copy the story. Lines wrap at the view's edge and there is no
// horizontal scroll bar. Besides the platform's own edit keys, the classic alternatives work
// everywhere: Alt+Backspace undoes, Shift+Delete cuts, Ctrl+Insert copies, Shift+Insert
// pastes. F6 and Shift+F6 (pane switching elsewhere) do nothing: there is only one pane.
class StoryView final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit StoryView(QWidget* parent = nullptr);

  // Replaces the whole text. The replaced text cannot be brought back with undo.
  void show_text(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace plotwright::shell
