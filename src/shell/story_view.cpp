// The window's one view: a plain-text edit of the story that wraps at its right edge.
#include "shell/story_view.h"

#include <QKeyEvent>

#include <array>

namespace plotwright::shell {

namespace {

enum class EditCommand { UNDO, CUT, COPY, PASTE, NOTHING };

struct EditKey {
  QKeyCombination keys;
  EditCommand command;
};

// The edit keys the program answers the same way on every platform.
const std::array<EditKey, 10> kEditKeys = {{
    {Qt::ControlModifier | Qt::Key_Z, EditCommand::UNDO},
    {Qt::AltModifier | Qt::Key_Backspace, EditCommand::UNDO},
    {Qt::ControlModifier | Qt::Key_X, EditCommand::CUT},
    {Qt::ShiftModifier | Qt::Key_Delete, EditCommand::CUT},
    {Qt::ControlModifier | Qt::Key_C, EditCommand::COPY},
    {Qt::ControlModifier | Qt::Key_Insert, EditCommand::COPY},
    {Qt::ControlModifier | Qt::Key_V, EditCommand::PASTE},
    {Qt::ShiftModifier | Qt::Key_Insert, EditCommand::PASTE},
    {QKeyCombination(Qt::Key_F6), EditCommand::NOTHING},
    {Qt::ShiftModifier | Qt::Key_F6, EditCommand::NOTHING},
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
      case EditCommand::UNDO:
        undo();
        break;
      case EditCommand::CUT:
        cut();
        break;
      case EditCommand::COPY:
        copy();
        break;
      case EditCommand::PASTE:
        paste();
        break;
      case EditCommand::NOTHING:
        break;
    }
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace plotwright::shell
