// The window's one view: a plain-text edit of the story that wraps at its right edge.
#include "shell/story_view.h"

#include <QKeyEvent>

#include <array>

namespace plotwright::shell {

namespace {

enum class EditCommand { kUndo, kCut, kCopy, kPaste, kNothing };

struct EditKey {
  QKeyCombination keys;
  EditCommand command;
};

// The edit keys the program answers the same way on every platform.
const std::array<EditKey, 10> kEditKeys = {{
    {Qt::ControlModifier | Qt::Key_Z, EditCommand::kUndo},
    {Qt::AltModifier | Qt::Key_Backspace, EditCommand::kUndo},
    {Qt::ControlModifier | Qt::Key_X, EditCommand::kCut},
    {Qt::ShiftModifier | Qt::Key_Delete, EditCommand::kCut},
    {Qt::ControlModifier | Qt::Key_C, EditCommand::kCopy},
    {Qt::ControlModifier | Qt::Key_Insert, EditCommand::kCopy},
    {Qt::ControlModifier | Qt::Key_V, EditCommand::kPaste},
    {Qt::ShiftModifier | Qt::Key_Insert, EditCommand::kPaste},
    {QKeyCombination(Qt::Key_F6), EditCommand::kNothing},
    {Qt::ShiftModifier | Qt::Key_F6, EditCommand::kNothing},
}};

}  // namespace

StoryView::StoryView(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Story text may run long without spaces (Japanese); break anywhere when a word won't fit.
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void StoryView::show_text(const QString& text) {
  setPlainText(text);
}

void StoryView::keyPressEvent(QKeyEvent* event) {
  // Keypad modifiers do not make a different key here.
  const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier,
                                static_cast<Qt::Key>(event->key()));
  for (const EditKey& entry : kEditKeys) {
    if (entry.keys != pressed) continue;
    switch (entry.command) {
      case EditCommand::kUndo:
        undo();
        break;
      case EditCommand::kCut:
        cut();
        break;
      case EditCommand::kCopy:
        copy();
        break;
      case EditCommand::kPaste:
        paste();
        break;
      case EditCommand::kNothing:
        break;
    }
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace plotwright::shell
