#include "app/input_router.h"

#include "app/key_events.h"
#include "controller/window_controller.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// How the keys arrive here. Qt delivers one KeyPress event per key to the
// focused widget; the command table (controller/command_table.cpp) says
// which keys are the program's, where they count and how their modifiers
// must be. A key that is taken returns true from the filter and never
// reaches the widget. Events of the platform's own dialogs (message boxes,
// file dialogs) pass untouched.

namespace sorvane {

InputRouter::InputRouter(WindowController& controller, Windows windows)
    : controller_(controller), windows_(std::move(windows)) {
  qApp->installEventFilter(this);
}

InputRouter::~InputRouter() { qApp->removeEventFilter(this); }

bool InputRouter::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;
  const QWidget* window = widget->window();
  if (window != &windows_.main && window != &windows_.search) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      // A key a widget leaves unhandled goes on to its parents; it is
      // routed once, on its way to the focused widget.
      const QWidget* focus = QApplication::focusWidget();
      if (widget != (focus != nullptr ? focus : widget->window())) break;
      return routeKey(*widget, static_cast<const QKeyEvent&>(*event));
    }
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton button = static_cast<const QMouseEvent&>(*event).button();
      if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
        break;
      [[fallthrough]];
    }
    case QEvent::FocusIn:
      // Leaving the editors keeps what was typed: only Esc drops it.
      if (!windows_.isRowEditor(*widget)) controller_.endEditing(true);
      break;
    default:
      break;
  }
  return false;
}

bool InputRouter::routeKey(QWidget& target, const QKeyEvent& key) {
  const KeyModifiers modifiers = modifiersOf(key);
  const KeyWindow where = target.window() == &windows_.search ? KeyWindow::search : KeyWindow::main;
  const KeyOutcome outcome =
      keyOutcome(keyOf(key, modifiers.ctrl), modifiers, where, windows_.targetOf(target),
                 QApplication::activeWindow() == target.window());
  if (outcome.command) controller_.run(*outcome.command);
  return outcome.taken;
}

}  // namespace sorvane
