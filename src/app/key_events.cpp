#include "app/key_events.h"

#include <QApplication>
#include <QKeyEvent>

#include <string_view>

namespace sorvane {

namespace {

// The lock modifier bit of the key state that X11 and Wayland (xkb) report
// with every key event.
constexpr quint32 kNativeLockMask = 0x2;

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
      return letters[keyCode - row.first];
    }
  }
  return 0;
}

// The Latin letter ('A' to 'Z') of a key event, or 0. A letter of another
// script counts as the Latin letter on the same key.
int latinLetter(const QKeyEvent& event) {
  if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) return 'A' + (event.key() - Qt::Key_A);
  const bool otherScriptLetter = event.key() > 0x7F && event.key() < Qt::Key_Escape &&
                                 QChar::isLetter(static_cast<char32_t>(event.key()));
  return otherScriptLetter ? latinLetterOfKeyCode(event.nativeScanCode()) : 0;
}

}  // namespace

Key keyOf(const QKeyEvent& event, bool withCtrl) {
  switch (event.key()) {
    case Qt::Key_F2:
      return Key::f2;
    case Qt::Key_F3:
      return Key::f3;
    case Qt::Key_F8:
      return Key::f8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return Key::enter;
    case Qt::Key_Escape:
      return Key::escape;
    case Qt::Key_Delete:
      return Key::del;
    case Qt::Key_Tab:
      return Key::tab;
    case Qt::Key_Backtab:
      return Key::backtab;
    default:
      break;
  }
  if (withCtrl && event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9) {
    return letterKey(static_cast<char>('0' + (event.key() - Qt::Key_0)));
  }
  const int letter = withCtrl ? latinLetter(event)
                     : event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z
                         ? 'A' + (event.key() - Qt::Key_A)
                         : 0;
  return letter != 0 ? letterKey(static_cast<char>(letter)) : Key::none;
}

KeyModifiers modifiersOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  return {.ctrl = modifiers.testFlag(Qt::ControlModifier),
          .shift = modifiers.testFlag(Qt::ShiftModifier),
          .alt = modifiers.testFlag(Qt::AltModifier),
          .mouseButtonHeld = QApplication::mouseButtons() != Qt::NoButton,
          .capsLock = (event.nativeModifiers() & kNativeLockMask) != 0};
}

}  // namespace sorvane
