#include "app/key_table.h"

#include <QApplication>
#include <QKeyEvent>

#include <array>
#include <string_view>

namespace sorvane {

namespace {

using enum Command;
using enum KeyPress;
using W = KeyWindow;

constexpr std::array kKeys = {
    KeyBinding{Qt::Key_F, ctrlAlt, W::any, showSearchWindow},
    // The search window's own keys; the rest there are the window's.
    KeyBinding{Qt::Key_R, ctrl, W::search, toggleSubdirectories},
    KeyBinding{Qt::Key_S, ctrl, W::search, save},
    KeyBinding{Qt::Key_E, ctrl, W::search, exportTexts},
    KeyBinding{Qt::Key_Return, plain, W::search, openSearchResult},
    KeyBinding{Qt::Key_Enter, plain, W::search, openSearchResult},
    KeyBinding{Qt::Key_F3, plainNoLocks, W::search, findNext},
    // The main window.
    KeyBinding{Qt::Key_J, ctrlNoAlt, W::main, nextColouredRow},
    KeyBinding{Qt::Key_J, ctrlShift, W::main, previousColouredRow},
    KeyBinding{Qt::Key_E, ctrl, W::main, exportTexts},
    KeyBinding{Qt::Key_F, ctrl, W::main, focusFindBox},
    KeyBinding{Qt::Key_H, ctrl, W::main, toggleChangeSame},
    KeyBinding{Qt::Key_M, ctrl, W::main, focusList},
    KeyBinding{Qt::Key_O, ctrl, W::main, openFiles},
    KeyBinding{Qt::Key_R, ctrl, W::main, keepForSearch},
    KeyBinding{Qt::Key_S, ctrl, W::main, save},
    KeyBinding{Qt::Key_T, ctrl, W::main, toggleControlsPanel},
    KeyBinding{Qt::Key_W, ctrl, W::main, closeFiles},
    KeyBinding{Qt::Key_Y, ctrl, W::main, redo},
    KeyBinding{Qt::Key_Z, ctrl, W::main, undo},
    KeyBinding{Qt::Key_Return, plain, W::main, enter},
    KeyBinding{Qt::Key_Enter, plain, W::main, enter},
    KeyBinding{Qt::Key_Escape, plain, W::main, escape},
    KeyBinding{Qt::Key_F2, plainNoLocks, W::main, editRow},
    KeyBinding{Qt::Key_Delete, plainNoLocks, W::main, deleteRowText},
    KeyBinding{Qt::Key_Tab, plainNoLocks, W::main, toModEditor},
    KeyBinding{Qt::Key_Backtab, shift, W::main, toOriginalEditor},
    KeyBinding{Qt::Key_F3, plainNoLocks, W::main, findNext},
    KeyBinding{Qt::Key_F8, plainNoLocks, W::main, nextProblemRow},
    KeyBinding{Qt::Key_F8, shift, W::main, previousProblemRow},
    KeyBinding{Qt::Key_B, ctrl, W::main, copyOriginal},
};

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

bool pressFits(KeyPress press, const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  const bool alt = modifiers.testFlag(Qt::AltModifier);
  const bool mouseHeld = QApplication::mouseButtons() != Qt::NoButton;
  switch (press) {
    case KeyPress::ctrl:
      return ctrl && !shift;
    case KeyPress::ctrlNoAlt:
      return ctrl && !shift && !alt;
    case KeyPress::ctrlShift:
      return ctrl && shift && !alt;
    case KeyPress::ctrlAlt:
      return modifiers == (Qt::ControlModifier | Qt::AltModifier);
    case KeyPress::plain:
      return modifiers == Qt::NoModifier && !mouseHeld;
    case KeyPress::plainNoLocks:
      return modifiers == Qt::NoModifier && !mouseHeld && !capsLockOn(key);
    case KeyPress::shift:
      return key.modifiers() == Qt::ShiftModifier;
  }
  return false;
}

bool keyFits(const KeyBinding& binding, const QKeyEvent& key) {
  const bool withCtrl = binding.press == KeyPress::ctrl || binding.press == KeyPress::ctrlNoAlt ||
                        binding.press == KeyPress::ctrlShift || binding.press == KeyPress::ctrlAlt;
  const int pressed = withCtrl ? latinLetterKey(key) : key.key();
  return pressed == binding.key && pressFits(binding.press, key);
}

}  // namespace

std::span<const KeyBinding> keyTable() { return kKeys; }

std::optional<Command> commandOfKey(const QKeyEvent& key, KeyWindow window) {
  for (const KeyBinding& binding : kKeys) {
    if (binding.window != KeyWindow::any && binding.window != window) continue;
    if (keyFits(binding, key)) return binding.command;
  }
  return std::nullopt;
}

}  // namespace sorvane
