#include "app/message_hook.h"

#include "app/row_editors.h"
#include "app/string_list_view.h"
#include "app/window_commands.h"

#include <QApplication>
#include <QKeyEvent>

// How the keys arrive here. Qt delivers one KeyPress event per key to the
// focused widget; the key table (key_table.cpp) says which keys are the
// program's and how their modifiers must be. In a layout without Latin
// letters a Ctrl key's Latin letter counts. A consumed event returns true
// from the filter and never reaches the widget. Events for the platform's
// own dialogs (message boxes, file dialogs) pass untouched.

namespace sorvane {

MessageHook::MessageHook(WindowCommands& window) : window_(window) {
  qApp->installEventFilter(this);
}

MessageHook::~MessageHook() { qApp->removeEventFilter(this); }

bool MessageHook::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;
  const QWidget* window = widget->window();
  if (window != &window_.mainWindow() && window != &window_.searchWindowWidget()) return false;
  StringListView& list = window_.stringList();
  switch (event->type()) {
    case QEvent::KeyPress: {
      // A key a widget leaves unhandled goes on to its parents; the hook
      // takes it once, on its way to the focused widget.
      const QWidget* focus = QApplication::focusWidget();
      if (widget != (focus != nullptr ? focus : widget->window())) break;
      return handleKey(widget, static_cast<const QKeyEvent&>(*event));
    }
    case QEvent::FocusIn:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (event->type() != QEvent::FocusIn) {
        const Qt::MouseButton button = static_cast<const QMouseEvent&>(*event).button();
        if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
          break;
        if (event->type() == QEvent::MouseButtonDblClick) break;
      }
      if (!window_.rowEditors().isEditor(widget)) window_.cancelEditing();
      if (widget == &list || widget == list.viewport()) list.setListHasFocus(true);
      break;
    }
    case QEvent::FocusOut:
      if (widget == &list) list.setListHasFocus(false);
      break;
    default:
      break;
  }
  return false;
}

bool MessageHook::handleKey(QWidget* target, const QKeyEvent& key) {
  const KeyWindow where =
      target->window() == &window_.searchWindowWidget() ? KeyWindow::search : KeyWindow::main;
  const std::optional<Command> command = commandOfKey(key, where);
  return command && window_.runCommand(*command, target);
}

}  // namespace sorvane
