#include "app/message_hook.h"

#include "app/main_window.h"
#include "app/row_editors.h"
#include "app/search_window.h"
#include "app/string_list_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <string_view>

// How the keys arrive here. Qt delivers one KeyPress event per key to the
// focused widget, where a platform message loop would deliver a key-down and
// then, for keys that type something, a character. The rules are kept apart
// by key:
// - Ctrl+letter "characters": a KeyPress of a letter key with Ctrl held and
//   Shift not; Alt is not looked at (Ctrl+Alt+F is tried first, as a
//   key-down with exactly Ctrl and Alt). In a layout without Latin letters
//   the key's Latin letter counts.
// - Enter and Esc "characters": a KeyPress of Return, Enter or Escape with no
//   modifiers (Caps Lock counts for nothing here).
// - F2, Delete, Tab, Shift+Tab and F3 "key-downs": a KeyPress of those keys;
//   "no modifiers" there also requires Caps Lock to be off (read from the
//   key event's lock state) and no mouse button held.
// A consumed event returns true from the filter and never reaches the
// widget. Events for the platform's own dialogs (message boxes, file
// dialogs) pass untouched.

namespace sorvane {

namespace {

// The lock modifier bit of the key state that X11 and Wayland (xkb) report
// with every key event.
constexpr quint32 kNativeLockMask = 0x2;

bool capsLockOn(const QKeyEvent& key) { return (key.nativeModifiers() & kNativeLockMask) != 0; }

// The letter keys' codes as X11 and Wayland report them (the evdev code
// plus 8) and their letters on a US keyboard, for Ctrl accelerators typed
// in a layout without Latin letters, as Qt's own shortcuts offer them.
int latinLetterOfKeyCode(quint32 keyCode) {
  static constexpr struct {
    quint32 first;
    const char* letters;
  } kRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
  for (const auto& row : kRows) {
    const std::string_view letters(row.letters);
    if (keyCode >= row.first && keyCode < row.first + letters.size()) {
      return Qt::Key_A + (letters[keyCode - row.first] - 'A');
    }
  }
  return 0;
}

// The Latin letter key (Qt::Key_A to Qt::Key_Z) of a key event, or 0. A
// letter of another script counts as the Latin letter on the same key.
int latinLetterKey(const QKeyEvent& key) {
  if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) return key.key();
  const bool otherScriptLetter = key.key() > 0x7F && key.key() < Qt::Key_Escape &&
                                 QChar::isLetter(static_cast<char32_t>(key.key()));
  return otherScriptLetter ? latinLetterOfKeyCode(key.nativeScanCode()) : 0;
}

}  // namespace

MessageHook::MessageHook(MainWindow& window) : window_(window) { qApp->installEventFilter(this); }

MessageHook::~MessageHook() { qApp->removeEventFilter(this); }

bool MessageHook::isOwnWindow(const QWidget* window) const {
  return window == &window_ || window == &window_.searchWindow();
}

bool MessageHook::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || !isOwnWindow(widget->window())) return false;
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
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool mouseHeld = QApplication::mouseButtons() != Qt::NoButton;
  if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && latinLetterKey(key) == Qt::Key_F) {
    window_.showSearchWindow();
    return true;
  }
  // In the search window only a few keys are the program's; the rest are
  // the window's own.
  if (target->window() == &window_.searchWindow()) return handleSearchWindowKey(target, key);
  if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier) &&
      latinLetterKey(key) == Qt::Key_J) {
    // The next (Shift: previous) coloured row in "Mod update", not while
    // a row is being edited.
    if (!window_.rowEditors().isEditor(target) &&
        window_.session().mode() == SessionMode::modUpdate && window_.session().isOpen()) {
      window_.selectRowInState(std::nullopt, modifiers.testFlag(Qt::ShiftModifier));
    }
    return true;
  }
  if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier)) {
    if (const int letter = latinLetterKey(key); letter != 0)
      return handleCtrlLetter(target, letter);
  }
  if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Escape) &&
      modifiers == Qt::NoModifier && !mouseHeld) {
    return handleEnterOrEscape(target, key.key());
  }
  return handleKeyDown(target, key, modifiers == Qt::NoModifier && !mouseHeld && !capsLockOn(key));
}

bool MessageHook::handleSearchWindowKey(QWidget* target, const QKeyEvent& key) {
  MainWindow& w = window_;
  SearchWindow& search = w.searchWindow();
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const int letter = latinLetterKey(key);
  if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier)) {
    switch (letter) {
      case Qt::Key_R:
        search.subdirectoriesCheck().toggle();
        return true;
      case Qt::Key_S:
        w.saveFromKeyboard();
        return true;
      case Qt::Key_E:
        w.exportFromKeyboard();
        return true;
      default:
        return false;
    }
  }
  if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && modifiers == Qt::NoModifier &&
      target == &search.resultsList()) {
    search.openSelectedResult();
    return true;
  }
  if (key.key() == Qt::Key_F3 && modifiers == Qt::NoModifier && !capsLockOn(key)) {
    w.findNext();
    return true;
  }
  return false;
}

bool MessageHook::handleCtrlLetter(QWidget* target, int key) {
  MainWindow& w = window_;
  const bool inEditor = w.rowEditors().isEditor(target);
  switch (key) {
    case Qt::Key_E:
      w.exportFromKeyboard();
      return true;
    case Qt::Key_F:
      w.focusFindBox();
      return true;
    case Qt::Key_H:
      w.toggleChangeSame();
      return true;
    case Qt::Key_M:
      if (!inEditor) w.stringList().setFocus();
      return true;
    case Qt::Key_R:
      // Toggles the folder search's subfolder option once that window exists.
      return true;
    case Qt::Key_S:
      w.saveFromKeyboard();
      return true;
    case Qt::Key_T:
      w.toggleControlsPanel();
      return true;
    case Qt::Key_Y:
      w.redoFromKeyboard();
      return true;
    case Qt::Key_Z: {
      const QWidget* focus = QApplication::focusWidget();
      const bool inTextBox = focus == &w.rowEditors().modifiedEditor() || w.isTextBox(focus);
      if (QApplication::activeWindow() == &w && !inTextBox) w.undoFromKeyboard();
      return true;
    }
    default:
      return false;
  }
}

bool MessageHook::handleEnterOrEscape(QWidget* target, int key) {
  MainWindow& w = window_;
  RowEditors& editors = w.rowEditors();
  if (key == Qt::Key_Escape) {
    if (editors.isEditor(target) && editors.shown()) w.cancelEditing();
    return true;
  }
  if (QApplication::activeWindow() != &w) return true;
  if (w.isFindBox(target)) {
    w.findNext();
    return true;
  }
  if (target == &w.stringList()) {
    w.openEditorsOnSelectedRow();
    return true;
  }
  if (editors.isEditor(target) && editors.shown()) {
    w.commitEditing();
    return true;
  }
  return false;
}

bool MessageHook::handleKeyDown(QWidget* target, const QKeyEvent& key, bool noModifiers) {
  MainWindow& w = window_;
  RowEditors& editors = w.rowEditors();
  switch (key.key()) {
    case Qt::Key_F2:
      if (target == &w.stringList() && noModifiers) w.openEditorsOnSelectedRow();
      return false;
    case Qt::Key_Delete:
      if (target == &w.stringList() && noModifiers && w.checkedMode() == SessionMode::modUpdate) {
        w.deleteSelectedRowText();
      }
      return false;
    case Qt::Key_Tab:
      if (target == &editors.newOriginalEditor() && noModifiers && editors.shown()) {
        editors.modifiedEditor().setFocus(Qt::TabFocusReason);
        return true;
      }
      return false;
    case Qt::Key_Backtab:
      if (target == &editors.modifiedEditor() && key.modifiers() == Qt::ShiftModifier &&
          editors.shown()) {
        editors.newOriginalEditor().setFocus(Qt::BacktabFocusReason);
        return true;
      }
      return false;
    case Qt::Key_F3:
      if (!noModifiers || target == &editors.modifiedEditor()) return false;
      w.findNext();
      return true;
    default:
      return false;
  }
}

}  // namespace sorvane
