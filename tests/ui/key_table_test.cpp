#include "key_table_test.h"

#include "app/key_table.h"

#include <QKeyEvent>
#include <QTest>

#include <optional>

namespace sorvane::test {

namespace {

// The key state bits X11 and Wayland report: Lock.
constexpr quint32 kLocked = 0x2;
// The key code (evdev + 8) of the key that is J on a US keyboard.
constexpr quint32 kKeyCodeOfJ = 44;

std::optional<Command> commandOf(int key, Qt::KeyboardModifiers modifiers, KeyWindow window,
                                 quint32 nativeState = 0, quint32 keyCode = 0) {
  const QKeyEvent event(QEvent::KeyPress, key, modifiers, keyCode, 0, nativeState);
  return commandOfKey(event, window);
}

}  // namespace

void KeyTableTest::eachKeyPressFindsItsCommand() {
  using enum Command;
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    KeyWindow window;
    quint32 nativeState;
    std::optional<Command> command;
  } cases[] = {
      {Qt::Key_F, ctrlAlt, KeyWindow::main, 0, showSearchWindow},
      {Qt::Key_F, ctrlAlt, KeyWindow::search, 0, showSearchWindow},
      {Qt::Key_F, ctrl, KeyWindow::main, 0, focusFindBox},
      {Qt::Key_F, ctrl, KeyWindow::search, 0, std::nullopt},
      // Alt is not looked at with Ctrl letters, but is with Ctrl+J.
      {Qt::Key_S, ctrlAlt, KeyWindow::main, 0, save},
      {Qt::Key_J, ctrl, KeyWindow::main, 0, nextColouredRow},
      {Qt::Key_J, ctrlShift, KeyWindow::main, 0, previousColouredRow},
      {Qt::Key_J, ctrlAlt, KeyWindow::main, 0, std::nullopt},
      {Qt::Key_S, ctrlShift, KeyWindow::main, 0, std::nullopt},
      {Qt::Key_R, ctrl, KeyWindow::main, 0, keepForSearch},
      {Qt::Key_R, ctrl, KeyWindow::search, 0, toggleSubdirectories},
      {Qt::Key_Z, ctrl, KeyWindow::main, 0, undo},
      {Qt::Key_Z, ctrl, KeyWindow::search, 0, std::nullopt},
      // Enter and Esc care for no lock; F2, Delete, Tab and F3 do.
      {Qt::Key_Return, Qt::NoModifier, KeyWindow::main, kLocked, enter},
      {Qt::Key_Enter, Qt::NoModifier, KeyWindow::search, 0, openSearchResult},
      {Qt::Key_Escape, Qt::NoModifier, KeyWindow::main, 0, escape},
      {Qt::Key_Return, Qt::ShiftModifier, KeyWindow::main, 0, std::nullopt},
      {Qt::Key_F2, Qt::NoModifier, KeyWindow::main, 0, editRow},
      {Qt::Key_F2, Qt::NoModifier, KeyWindow::main, kLocked, std::nullopt},
      {Qt::Key_Delete, Qt::NoModifier, KeyWindow::main, 0, deleteRowText},
      {Qt::Key_Tab, Qt::NoModifier, KeyWindow::main, 0, toModEditor},
      {Qt::Key_Backtab, Qt::ShiftModifier, KeyWindow::main, 0, toOriginalEditor},
      {Qt::Key_F3, Qt::NoModifier, KeyWindow::search, 0, findNext},
      {Qt::Key_F3, Qt::NoModifier, KeyWindow::main, kLocked, std::nullopt},
      {Qt::Key_F8, Qt::NoModifier, KeyWindow::main, 0, nextProblemRow},
      {Qt::Key_F8, Qt::ShiftModifier, KeyWindow::main, 0, previousProblemRow},
      {Qt::Key_F8, Qt::NoModifier, KeyWindow::search, 0, std::nullopt},
      {Qt::Key_B, ctrl, KeyWindow::main, 0, copyOriginal},
  };
  for (const auto& c : cases) {
    QVERIFY2(commandOf(c.key, c.modifiers, c.window, c.nativeState) == c.command,
             qPrintable(QKeySequence(c.key | c.modifiers).toString()));
  }
  // In a layout without Latin letters, the letter on J's key counts.
  QVERIFY(commandOf(0x43E, ctrl, KeyWindow::main, 0, kKeyCodeOfJ) == nextColouredRow);
}

void KeyTableTest::noTwoKeysOfAWindowFitTheSamePress() {
  const auto overlaps = [](KeyWindow a, KeyWindow b) {
    return a == b || a == KeyWindow::any || b == KeyWindow::any;
  };
  const auto table = keyTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    for (std::size_t j = i + 1; j < table.size(); ++j) {
      QVERIFY(!(table[i].key == table[j].key && table[i].press == table[j].press &&
                overlaps(table[i].window, table[j].window)));
    }
  }
}

}  // namespace sorvane::test
