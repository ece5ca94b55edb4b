#include "command_table_test.h"

#include "app/key_events.h"
#include "app/qt_text.h"
#include "main_window_fixture.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTest>

#include <optional>

namespace sorvane::test {

namespace {

// The key state bits X11 and Wayland report: Lock.
constexpr quint32 kLocked = 0x2;
// The key code (evdev + 8) of the key that is J on a US keyboard.
constexpr quint32 kKeyCodeOfJ = 44;

KeyOutcome outcomeOf(int key, Qt::KeyboardModifiers modifiers, KeyWindow window,
                     KeyTarget target = KeyTarget::other, quint32 nativeState = 0,
                     quint32 keyCode = 0, bool active = true) {
  const QKeyEvent event(QEvent::KeyPress, key, modifiers, keyCode, 0, nativeState);
  const KeyModifiers read = modifiersOf(event);
  return keyOutcome(keyOf(event, read.ctrl), read, window, target, active);
}

}  // namespace

void CommandTableTest::eachKeyPressFindsItsCommand() {
  using enum CommandId;
  using T = KeyTarget;
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
  const Qt::KeyboardModifiers none = Qt::NoModifier;
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    KeyWindow window;
    KeyTarget target;
    quint32 nativeState;
    std::optional<CommandId> command;
    bool taken;
  } cases[] = {
      {Qt::Key_F, ctrlAlt, KeyWindow::main, T::other, 0, showSearchWindow, true},
      {Qt::Key_F, ctrlAlt, KeyWindow::search, T::searchBox, 0, showSearchWindow, true},
      {Qt::Key_F, ctrl, KeyWindow::main, T::list, 0, focusFindBox, true},
      {Qt::Key_F, ctrl, KeyWindow::search, T::other, 0, std::nullopt, false},
      // Alt is not looked at with Ctrl letters, but is with Ctrl+J.
      {Qt::Key_S, ctrlAlt, KeyWindow::main, T::other, 0, saveMod, true},
      {Qt::Key_S, ctrl, KeyWindow::search, T::searchBox, 0, saveMod, true},
      {Qt::Key_J, ctrl, KeyWindow::main, T::list, 0, nextColouredRow, true},
      {Qt::Key_J, ctrlShift, KeyWindow::main, T::list, 0, previousColouredRow, true},
      {Qt::Key_J, ctrl, KeyWindow::main, T::modEditor, 0, std::nullopt, true},
      {Qt::Key_J, ctrlAlt, KeyWindow::main, T::list, 0, std::nullopt, false},
      {Qt::Key_S, ctrlShift, KeyWindow::main, T::list, 0, std::nullopt, false},
      {Qt::Key_R, ctrl, KeyWindow::main, T::list, 0, replaceTexts, true},
      {Qt::Key_F, ctrlShift, KeyWindow::main, T::modEditor, 0, toggleFilterBar, true},
      {Qt::Key_G, ctrl, KeyWindow::main, T::modEditor, 0, storeAndGoOn, true},
      {Qt::Key_U, ctrl, KeyWindow::main, T::list, 0, nextUntranslatedRow, true},
      {Qt::Key_U, ctrlShift, KeyWindow::main, T::findBox, 0, previousUntranslatedRow, true},
      {Qt::Key_U, ctrl, KeyWindow::main, T::modEditor, 0, std::nullopt, true},
      {Qt::Key_I, ctrl, KeyWindow::main, T::list, 0, importTexts, true},
      {Qt::Key_R, ctrl, KeyWindow::search, T::other, 0, toggleSubdirectories, true},
      // Ctrl+Z in a text box is neither the box's nor an undo.
      {Qt::Key_Z, ctrl, KeyWindow::main, T::list, 0, undo, true},
      {Qt::Key_Z, ctrl, KeyWindow::main, T::pathBox, 0, std::nullopt, true},
      {Qt::Key_Z, ctrl, KeyWindow::main, T::modEditor, 0, std::nullopt, true},
      {Qt::Key_Z, ctrl, KeyWindow::search, T::other, 0, std::nullopt, false},
      {Qt::Key_M, ctrl, KeyWindow::main, T::findBox, 0, focusList, true},
      {Qt::Key_M, ctrl, KeyWindow::main, T::newOriginalEditor, 0, std::nullopt, true},
      // Enter and Esc care for no lock; F2, Delete, Tab and F3 do.
      {Qt::Key_Return, none, KeyWindow::main, T::list, kLocked, openEditors, true},
      {Qt::Key_Return, none, KeyWindow::main, T::pathBox, 0, openFiles, true},
      {Qt::Key_Enter, none, KeyWindow::main, T::findBox, 0, findNext, true},
      {Qt::Key_Return, none, KeyWindow::main, T::modEditor, 0, storeEdit, true},
      {Qt::Key_Return, none, KeyWindow::main, T::other, 0, std::nullopt, false},
      {Qt::Key_Enter, none, KeyWindow::search, T::searchResults, 0, openSearchResult, true},
      {Qt::Key_Return, none, KeyWindow::search, T::searchBox, 0, startSearch, true},
      {Qt::Key_Return, none, KeyWindow::search, T::other, 0, std::nullopt, false},
      {Qt::Key_Escape, none, KeyWindow::main, T::oldOriginalEditor, 0, dropEdit, true},
      {Qt::Key_Escape, none, KeyWindow::main, T::list, 0, std::nullopt, true},
      {Qt::Key_Return, Qt::ShiftModifier, KeyWindow::main, T::list, 0, std::nullopt, false},
      {Qt::Key_F2, none, KeyWindow::main, T::list, 0, openEditors, false},
      {Qt::Key_F2, none, KeyWindow::main, T::list, kLocked, std::nullopt, false},
      {Qt::Key_Delete, none, KeyWindow::main, T::list, 0, deleteRowText, false},
      {Qt::Key_Tab, none, KeyWindow::main, T::newOriginalEditor, 0, toModEditor, true},
      {Qt::Key_Tab, none, KeyWindow::main, T::list, 0, std::nullopt, false},
      {Qt::Key_Backtab, Qt::ShiftModifier, KeyWindow::main, T::modEditor, 0, toOriginalEditor,
       true},
      {Qt::Key_F3, none, KeyWindow::search, T::searchBox, 0, findNext, true},
      {Qt::Key_F3, none, KeyWindow::main, T::modEditor, 0, std::nullopt, false},
      {Qt::Key_F3, none, KeyWindow::main, T::list, kLocked, std::nullopt, false},
      {Qt::Key_F8, none, KeyWindow::main, T::list, 0, nextProblemRow, true},
      {Qt::Key_F8, Qt::ShiftModifier, KeyWindow::main, T::list, 0, previousProblemRow, true},
      {Qt::Key_F8, none, KeyWindow::search, T::other, 0, std::nullopt, false},
      {Qt::Key_B, ctrl, KeyWindow::main, T::modEditor, 0, copyOriginal, true},
  };
  for (const auto& c : cases) {
    const KeyOutcome outcome = outcomeOf(c.key, c.modifiers, c.window, c.target, c.nativeState);
    const QByteArray what = QKeySequence(c.key | c.modifiers).toString().toLatin1();
    QVERIFY2(outcome.command == c.command, what.constData());
    QVERIFY2(outcome.taken == c.taken, what.constData());
  }
  // In a layout without Latin letters, the letter on J's key counts.
  QVERIFY(outcomeOf(0x43E, ctrl, KeyWindow::main, KeyTarget::list, 0, kKeyCodeOfJ).command ==
          nextColouredRow);
  // Enter in a window that is not the active one is taken and runs nothing.
  const KeyOutcome inactive =
      outcomeOf(Qt::Key_Return, none, KeyWindow::main, KeyTarget::list, 0, 0, false);
  QVERIFY(!inactive.command && inactive.taken);
}

void CommandTableTest::noTwoBindingsOfAWindowFitTheSamePressAndPlace() {
  const auto overlaps = [](KeyWindow a, KeyWindow b) {
    return a == b || a == KeyWindow::any || b == KeyWindow::any;
  };
  std::vector<KeyBinding> bindings;
  for (const CommandInfo& info : commandTable()) {
    for (const KeyBinding& binding : info.keys) {
      if (binding.key != Key::none) bindings.push_back(binding);
    }
  }
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    for (std::size_t j = i + 1; j < bindings.size(); ++j) {
      const KeyBinding& a = bindings[i];
      const KeyBinding& b = bindings[j];
      QVERIFY(!(a.key == b.key && a.press == b.press && overlaps(a.window, b.window) &&
                (a.where & b.where) != 0));
    }
  }
}

// Every button is its command's: caption, tooltip with the key, and
// enabled exactly when the rule says so, before and after files open and
// change.
void CommandTableTest::everyButtonShowsItsCommandsRowAndRule() {
  MainWindowFixture ui;
  const auto checkButtons = [&ui](const char* when) {
    const WindowState state = ui.window->controller().state();
    for (const CommandInfo& info : commandTable()) {
      if (info.controlName == nullptr) continue;
      auto* button = ui.find<QAbstractButton>(info.controlName);
      const QByteArray what = QByteArray(info.controlName) + " " + when;
      QVERIFY2(button->text() == toQString(info.caption), what.constData());
      QVERIFY2(button->toolTip() == toQString(commandTooltip(info)), what.constData());
      QVERIFY2(button->isEnabled() == info.enabled(state), what.constData());
      if (info.checked != nullptr) {
        QVERIFY2(button->isChecked() == info.checked(state), what.constData());
      }
    }
  };
  checkButtons("at start");
  QCOMPARE(ui.find<QAbstractButton>("SaveButton")->toolTip(),
           QStringLiteral("Save the Mod file (Ctrl+S)"));
  ui.open(ui.write("en.qm", {{1, u"Open", "Open", "Main"}, {2, u"Close", "Close", "Main"}}), "");
  checkButtons("open");
  QTest::keyClick(&ui.list(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QVERIFY(ui.find("SaveButton")->isEnabled());
  checkButtons("edited");
  QTest::mouseClick(ui.find<QAbstractButton>("ChangeSameCheck"), Qt::LeftButton);
  QVERIFY(ui.window->controller().state().changeSame);
  checkButtons("change same");
}

}  // namespace sorvane::test
