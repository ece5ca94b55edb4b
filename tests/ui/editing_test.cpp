#include "editing_test.h"

#include "app/row_editors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <filesystem>

#include "app/qt_text.h"

namespace sorvane::test {

namespace {

const std::vector<QmEntry> kRows = {{1, u"Open", "Open", "Main"},
                                    {2, u"Close", "Close", "Main"},
                                    {3, u"Open", "Open", "Dialog"},
                                    {4, u"open", "open", "Dialog"}};

}  // namespace

void EditingTest::init() {
  ui = std::make_unique<MainWindowFixture>();
  ui->window->resize(600, 400);
}

void EditingTest::cleanup() { ui.reset(); }

void EditingTest::sendKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers,
                          quint32 nativeState, quint32 keyCode) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, keyCode, 0, nativeState);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, keyCode, 0, nativeState);
  QApplication::sendEvent(&widget, &release);
}

QPlainTextEdit& EditingTest::editor(const char* name) const {
  return *ui->find<QPlainTextEdit>(name);
}

void EditingTest::openTraditional(const std::vector<QmEntry>& entries) {
  ui->open(ui->write("en.qm", entries), "");
  QCOMPARE(ui->list().model()->rowCount(), static_cast<int>(entries.size()));
}

void EditingTest::doubleClickRow(int row) {
  const QRect rect = ui->list().visualRect(ui->list().model()->index(row, 1));
  QTest::mouseDClick(ui->list().viewport(), Qt::LeftButton, {}, rect.center());
  // QTest ends a double click without releasing the button; a user lets go.
  QTest::mouseRelease(ui->list().viewport(), Qt::LeftButton, {}, rect.center());
}

void EditingTest::doubleClickOpensTheEditorsOverTheRow() {
  openTraditional(kRows);
  doubleClickRow(1);
  QCOMPARE(ui->window->session().editRow(), 1);
  QPlainTextEdit& mod = editor("ModifiedEditor");
  QPlainTextEdit& original = editor("NewOriginalEditor");
  QVERIFY(mod.isVisible());
  QVERIFY(original.isVisible());
  QVERIFY(!editor("OldOriginalEditor").isVisible());
  QVERIFY(mod.hasFocus());
  QVERIFY(original.isReadOnly());
  QCOMPARE(mod.toPlainText(), QStringLiteral("Close"));
  QCOMPARE(mod.textCursor().selectedText(), QStringLiteral("Close"));
  const QRect row = ui->list().visualRect(ui->list().model()->index(1, 0));
  QCOMPARE(original.x(), ui->list().columnWidth(0) - 1);
  QCOMPARE(original.y(), row.top() - 2);
  QCOMPARE(original.width(), ui->list().columnWidth(1) - 1);
  QCOMPARE(mod.x(), original.x() + ui->list().columnWidth(1));
  QCOMPARE(mod.width(), ui->list().columnWidth(2) - 1);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));
}

void EditingTest::enterCommitsAndTheLogRecordsIt() {
  openTraditional(kRows);
  ui->list().selectRow(1);
  QTest::keyClick(&ui->list(), Qt::Key_Return);
  QVERIFY(editor("ModifiedEditor").isVisible());
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QCOMPARE(ui->window->session().editRow(), -1);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
  QVERIFY(ui->find("SaveButton")->isEnabled());
  QVERIFY(ui->find("UndoButton")->isEnabled());
  QVERIFY(!ui->find("RedoButton")->isEnabled());
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (2)"));
  QVERIFY(ui->list().hasFocus());

  // The unchanged text stores nothing, but the caption is refreshed.
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  QCOMPARE(ui->window->session().undoLog().undoPos(), 1);
}

void EditingTest::escapeDropsTheEditAClickElsewhereKeepsIt() {
  openTraditional(kRows);
  doubleClickRow(0);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("dropped"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Escape);
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QVERIFY(ui->window->session().rowModText(0) == u"Open");

  // Nothing typed: a click elsewhere closes the editors and stores nothing.
  doubleClickRow(0);
  QTest::mouseClick(ui->find<QCheckBox>("ChangeSameCheck"), Qt::LeftButton);
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QVERIFY(!ui->find("SaveButton")->isEnabled());

  // A typed text is kept when another row is clicked.
  doubleClickRow(0);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("kept"));
  const QRect other = ui->list().visualRect(ui->list().model()->index(2, 1));
  QTest::mouseClick(ui->list().viewport(), Qt::LeftButton, {}, other.center());
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QVERIFY(ui->window->session().rowModText(0) == u"kept");
  QCOMPARE(ui->list().selectedRow(), 2);
  QVERIFY(ui->find("SaveButton")->isEnabled());
}

void EditingTest::scrollingResizingAndFontChangesKeepTheEdit() {
  std::vector<QmEntry> many(200, QmEntry{1, u"text", "", ""});
  openTraditional(many);
  // The wheel, the scroll bar and the list's keys move the editors with
  // their row and keep what was typed, and its length in the caption.
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("typed"));
  const auto rowTop = [this] {
    return ui->list().visualRect(ui->list().model()->index(1, 0)).top();
  };
  QWheelEvent wheel(QPointF(20, 20), ui->list().viewport()->mapToGlobal(QPointF(20, 20)), {},
                    QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(ui->list().viewport(), &wheel);
  QVERIFY(ui->list().verticalScrollBar()->value() > 0);
  ui->list().verticalScrollBar()->setValue(5);
  QCOMPARE(editor("ModifiedEditor").y(), rowTop() - 2);
  QCOMPARE(editor("NewOriginalEditor").y(), rowTop() - 2);
  ui->list().verticalScrollBar()->setValue(0);
  QVERIFY(editor("ModifiedEditor").isVisible());
  QCOMPARE(editor("ModifiedEditor").y(), rowTop() - 2);
  QCOMPARE(editor("ModifiedEditor").toPlainText(), QStringLiteral("typed"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(1) == u"typed");

  // Esc drops the typed text, and the caption goes back to the stored one.
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("longer text"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Escape);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));

  // Resizing closes the editors over the moving columns, keeping the text.
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("resized"));
  ui->window->resize(640, 420);
  QTRY_VERIFY(!editor("ModifiedEditor").isVisible());
  QVERIFY(ui->window->session().rowModText(1) == u"resized");

  doubleClickRow(1);
  ui->find<QComboBox>("FontSizeBox")->setEditText(QStringLiteral("16"));
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QCOMPARE(editor("ModifiedEditor").font().pixelSize(), 16);
  QCOMPARE(ui->window->session().undoLog().undoPos(), 2);
}

void EditingTest::editorsGrowWithTheirTextAndStayInView() {
  std::vector<QmEntry> many(60, QmEntry{1, u"short", "", ""});
  many[0].text = u"one\ntwo\nthree\nfour";
  openTraditional(many);
  // Every line shows at every list font size: the editor has nothing to
  // scroll, also after a line is typed.
  auto* sizeBox = ui->find<QComboBox>("FontSizeBox");
  ui->window->resize(600, 900);
  for (const char* size : {"8", "11", "14", "20", "36"}) {
    sizeBox->setEditText(QString::fromLatin1(size));
    doubleClickRow(0);
    for (const char* name : {"NewOriginalEditor", "ModifiedEditor"}) {
      QVERIFY2(editor(name).verticalScrollBar()->maximum() == 0, size);
      QVERIFY2(editor(name).height() < 5 * (QFontMetrics(ui->list().font()).lineSpacing() + 1),
               size);
    }
    QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("five"));
    QVERIFY2(editor("ModifiedEditor").verticalScrollBar()->maximum() == 0, size);
    QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Escape);
  }
  sizeBox->setEditText(QStringLiteral("14"));
  ui->window->resize(600, 400);

  // On the last row the list scrolls until the editors fit below it.
  const int lastVisible = ui->list().rowAt(ui->list().viewport()->height() - 2);
  ui->window->session().setRowModText(lastVisible, u"a\nb\nc\nd\ne\nf");
  doubleClickRow(lastVisible);
  QVERIFY(editor("ModifiedEditor").isVisible());
  QVERIFY(ui->list().verticalScrollBar()->value() > 0);
  QVERIFY(editor("ModifiedEditor").geometry().bottom() < ui->list().viewport()->height());
  QCOMPARE(editor("NewOriginalEditor").y(), editor("ModifiedEditor").y());
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Escape);

  // F2 on a selected row scrolled out of sight brings it back.
  ui->list().selectRow(2);
  ui->list().verticalScrollBar()->setValue(30);
  ui->list().setFocus();
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  QVERIFY(editor("ModifiedEditor").isVisible());
  QVERIFY(editor("ModifiedEditor").y() >= -2);
}

void EditingTest::enterInTheReadOnlyEditorCommitsToo() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  editor("NewOriginalEditor").setFocus();
  QTest::keyClick(&editor("NewOriginalEditor"), Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
}

void EditingTest::tabAndShiftTabMoveBetweenTheEditors() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Backtab, Qt::ShiftModifier);
  QVERIFY(editor("NewOriginalEditor").hasFocus());
  QTest::keyClick(&editor("NewOriginalEditor"), Qt::Key_Tab);
  QVERIFY(editor("ModifiedEditor").hasFocus());
  QVERIFY(editor("ModifiedEditor").isVisible());
}

void EditingTest::enterWithoutTypingStoresTheGivenTextInItsStoredForm() {
  struct Case {
    std::u16string text;
    std::u16string stored;  // empty: unchanged, nothing logged
    int caption;
  };
  const Case cases[] = {
      {u"a\u2028b", {}, 3},    {u"a\u2029b", {}, 3},      {u"two\nlines", {}, 9},
      {u"\U0001F600!", {}, 3}, {u"a\uFDD0b", {}, 3},      {u"x\r\ny", u"x\ny", 3},
      {u"a\rb", u"ab", 2},     {u"c\r\r\nd", u"c\nd", 3},
  };
  for (const Case& c : cases) {
    init();
    openTraditional({{1, u"original", "", ""}});
    ui->window->session().setRowModText(0, c.text);
    doubleClickRow(0);
    QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (%1)").arg(c.caption));
    QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
    const std::u16string expected = c.stored.empty() ? c.text : c.stored;
    QVERIFY2(ui->window->session().rowModText(0) == expected, qPrintable(toQString(c.text)));
    QCOMPARE(ui->window->session().modified(), !c.stored.empty());
    QCOMPARE(ui->window->session().undoLog().undoPos(), c.stored.empty() ? 0 : 1);
  }
}

void EditingTest::typingKeepsTheUntouchedPartsExactly() {
  openTraditional({{1, u"original", "", ""}});
  ui->window->session().setRowModText(0, u"a\u2028b\u2029c");
  doubleClickRow(0);
  QPlainTextEdit& mod = editor("ModifiedEditor");
  QTest::keyClick(&mod, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(&mod, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(&mod, QStringLiteral("d"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (7)"));
  QTest::keyClick(&mod, Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(0) == u"a\u2028b\u2029c\nd");
}

void EditingTest::theCaptionCountsWhileTyping() {
  openTraditional({{1, u"line one\nline two", "", ""}});
  doubleClickRow(0);
  QPlainTextEdit& mod = editor("ModifiedEditor");
  QCOMPARE(mod.document()->blockCount(), 2);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (17)"));
  QTest::keyClick(&mod, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(&mod, QStringLiteral("!!"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (19)"));
  // Ctrl+Enter is left to the editor: a line break in the text.
  QTest::keyClick(&mod, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClicks(&mod, QStringLiteral("3"));
  QTest::keyClick(&mod, Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(0) == u"line one\nline two!!\n3");
}

void EditingTest::changeSameFollowsItsCheckBoxAndCtrlH() {
  openTraditional(kRows);
  QTest::keyClick(&ui->list(), Qt::Key_H, Qt::ControlModifier);
  QVERIFY(ui->find<QCheckBox>("ChangeSameCheck")->isChecked());
  doubleClickRow(2);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Auf"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  const Session& session = ui->window->session();
  QVERIFY(session.rowModText(0) == u"Auf");
  QVERIFY(session.rowModText(2) == u"Auf");
  QVERIFY(session.rowModText(3) == u"open");
  QCOMPARE(session.undoLog().undoPos(), 2);
}

void EditingTest::undoAndRedoByButtonsAndKeys() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  ui->list().selectRow(3);

  ui->click("UndoButton");
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  QCOMPARE(ui->list().selectedRow(), 1);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));
  QVERIFY(!ui->find("UndoButton")->isEnabled());
  QVERIFY(ui->find("RedoButton")->isEnabled());

  // The keyboard focus stays where it was (on the button).
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  ui->click("RedoButton");
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
  QVERIFY(ui->window->session().modified());
}

void EditingTest::undoAndRedoKeepAnOpenEdit() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  ui->click("UndoButton");
  doubleClickRow(2);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("typed"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
  QCOMPARE(ui->list().selectedRow(), 1);
  QVERIFY(editor("ModifiedEditor").hasFocus());
  editor("NewOriginalEditor").setFocus();
  QTest::keyClick(&editor("NewOriginalEditor"), Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  QCOMPARE(ui->window->session().editRow(), 2);
  QTest::keyClick(&editor("NewOriginalEditor"), Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(2) == u"typed");
}

void EditingTest::theWindowGoesWithASessionAndAnEditOpen() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("typed"));
  // Everything that refers to the session goes before it (the sanitizers
  // see any use after); the open edit is dropped, nothing is asked.
  const QPointer<QPlainTextEdit> modEditor = &editor("ModifiedEditor");
  const QPointer<StringListView> list = &ui->list();
  ui->window.reset();
  QVERIFY(modEditor.isNull());
  QVERIFY(list.isNull());
  QVERIFY(ui->dialogs.calls().empty());
}

void EditingTest::undoThenEditDisablesRedo() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  ui->click("UndoButton");
  doubleClickRow(0);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Auf"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  QVERIFY(!ui->find("RedoButton")->isEnabled());
  QVERIFY(ui->find("UndoButton")->isEnabled());
}

void EditingTest::ctrlZInATextBoxUndoesNothing() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  auto* box = ui->find<QLineEdit>("ModFileEdit");
  box->setFocus();
  QTest::keyClicks(box, QStringLiteral("abc"));
  const QString typed = box->text();
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(box->text(), typed);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");

  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("x"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(editor("ModifiedEditor").toPlainText(), QStringLiteral("x"));
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
}

void EditingTest::disabledCommandsRefuseTheirKeys() {
  openTraditional(kRows);
  auto* find = ui->find<QLineEdit>("FindEdit");
  find->setFocus();
  QTest::keyClick(find, Qt::Key_S, Qt::ControlModifier);
  QVERIFY(ui->folder.read("en1.qm").empty());
  QCOMPARE(find->text(), QString());
  QTest::keyClick(find, Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(ui->window->session().undoLog().undoPos() == 0);

  ui->window->session().setModified(true);
  ui->window->session().setRowModText(0, u"changed");
  QTest::keyClick(find, Qt::Key_S, Qt::ControlModifier);
  QVERIFY(!ui->folder.read("en1.qm").empty());
  QVERIFY(!ui->find("SaveButton")->isEnabled());
}

void EditingTest::enterAndEscapeAreTakenWhereTheyHaveNoUse() {
  const std::string path = ui->write("en.qm", kRows);
  ui->open(path, "", path);
  // Change same is off in "Mod update": Ctrl+H leaves it alone.
  QTest::keyClick(&ui->list(), Qt::Key_H, Qt::ControlModifier);
  QVERIFY(!ui->find<QCheckBox>("ChangeSameCheck")->isChecked());
  auto* find = ui->find<QLineEdit>("FindEdit");
  QSignalSpy returnPressed(find, &QLineEdit::returnPressed);
  find->setFocus();
  QTest::keyClick(find, Qt::Key_Return);
  QCOMPARE(returnPressed.count(), 0);
  // Enter in a path box opens the files; with files open it does nothing.
  auto* modBox = ui->find<QLineEdit>("ModFileEdit");
  QSignalSpy boxReturn(modBox, &QLineEdit::returnPressed);
  modBox->setFocus();
  QTest::keyClick(modBox, Qt::Key_Return);
  QCOMPARE(boxReturn.count(), 0);
  QVERIFY(ui->window->session().isOpen());
  QVERIFY(ui->dialogs.calls().empty());
}

void EditingTest::ctrlKeysMoveTheFocusAndToggleThePanel() {
  openTraditional(kRows);
  QTest::keyClick(&ui->list(), Qt::Key_F, Qt::ControlModifier);
  QVERIFY(ui->find("FindEdit")->hasFocus());
  QTest::keyClick(ui->find("FindEdit"), Qt::Key_M, Qt::ControlModifier);
  QVERIFY(ui->list().hasFocus());
  QTest::keyClick(&ui->list(), Qt::Key_T, Qt::ControlModifier);
  QVERIFY(!ui->find("ControlsPanel")->isVisible());
  QTest::keyClick(&ui->list(), Qt::Key_T, Qt::ControlModifier);
  QVERIFY(ui->find("ControlsPanel")->isVisible());
  // Ctrl+M in an editor leaves the focus there.
  doubleClickRow(0);
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_M, Qt::ControlModifier);
  QVERIFY(editor("ModifiedEditor").hasFocus());
}

void EditingTest::deleteEmptiesAModUpdateRow() {
  const std::string path = ui->write("en.qm", kRows);
  ui->open(path, "", path);
  ui->list().selectRow(1);
  QTest::keyClick(&ui->list(), Qt::Key_Delete);
  QVERIFY(ui->window->session().rowModText(1).empty());
  QCOMPARE(ui->window->session().mod().translations.count(), 3);
  QVERIFY(ui->find("SaveButton")->isEnabled());
  QTest::keyClick(&ui->list(), Qt::Key_Delete);
  QCOMPARE(ui->window->session().undoLog().undoPos(), 1);
  ui->click("UndoButton");
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
}

void EditingTest::capsLockStopsF2AndDeleteButNotEnter() {
  const std::string path = ui->write("en.qm", kRows);
  ui->open(path, "", path);
  ui->list().selectRow(1);
  // The lock state comes with each key event, whatever it was at start-up
  // or wherever Caps Lock was pressed; a Caps Lock press toggles nothing.
  QTest::keyClick(&ui->list(), Qt::Key_CapsLock);
  sendKey(ui->list(), Qt::Key_F2, Qt::NoModifier, kLockedState);
  QVERIFY(!editor("ModifiedEditor").isVisible());
  sendKey(ui->list(), Qt::Key_Delete, Qt::NoModifier, kLockedState);
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  sendKey(ui->list(), Qt::Key_Return, Qt::NoModifier, kLockedState);
  QVERIFY(editor("ModifiedEditor").isVisible());
  sendKey(editor("ModifiedEditor"), Qt::Key_Escape, Qt::NoModifier, kLockedState);
  QVERIFY(!editor("ModifiedEditor").isVisible());
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  QVERIFY(editor("ModifiedEditor").isVisible());
}

void EditingTest::ctrlLettersWorkInALayoutWithoutLatinLetters() {
  openTraditional(kRows);
  doubleClickRow(1);
  QTest::keyClicks(&editor("ModifiedEditor"), QStringLiteral("Zu"));
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  // A Russian layout: Cyrillic A, IE and YERU on the keys of F, T and S.
  struct {
    int cyrillicKey;
    quint32 keyCode;
  } const keys[] = {{0x0410, 41}, {0x0415, 28}, {0x042B, 39}};
  sendKey(ui->list(), keys[0].cyrillicKey, Qt::ControlModifier, kControlState, keys[0].keyCode);
  QVERIFY(ui->find("FindEdit")->hasFocus());
  sendKey(*ui->find("FindEdit"), keys[1].cyrillicKey, Qt::ControlModifier, kControlState,
          keys[1].keyCode);
  QVERIFY(!ui->find("ControlsPanel")->isVisible());
  ui->list().setFocus();
  sendKey(ui->list(), keys[2].cyrillicKey, Qt::ControlModifier, kControlState, keys[2].keyCode);
  QVERIFY(!ui->window->session().modified());
  QVERIFY(std::filesystem::exists(ui->folder.path("en1.qm")));
}

void EditingTest::modUpdateCommitOfAnEmptyTextRemovesTheEntry() {
  const std::string path = ui->write("en.qm", kRows);
  ui->open(path, "", path);
  doubleClickRow(1);
  QVERIFY(editor("OldOriginalEditor").isVisible());
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Delete);
  QTest::keyClick(&editor("ModifiedEditor"), Qt::Key_Return);
  QVERIFY(ui->window->session().rowModText(1).empty());
  QCOMPARE(ui->window->session().mod().translations.count(), 3);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (0)"));
}

}  // namespace sorvane::test

namespace sorvane::test {

// An English file with a plural message, as Qt's lrelease writes it.
void EditingTest::theModLanguageBoxGivesTheModItsFormsAndUndoTakesThemBack() {
  const auto qtItem = [](std::uint8_t tag, std::string_view text) {
    return byteTextItem(tag, text);
  };
  const Bytes english = assembleQm({.index = {{1, 0}},
                                    .messages = join({translationItem(u"%n file"),
                                                      translationItem(u"%n files"),
                                                      qtItem(0x08, ""),
                                                      qtItem(0x06, "%n file(s)"),
                                                      qtItem(0x07, "Main"),
                                                      {0x01}}),
                                    .language = bytesOf("en_US"),
                                    .numerusRules = Bytes{0x01, 0x01}});
  ui->folder.write("en.qm", english);
  ui->open(ui->folder.path("en.qm"), "");
  auto* box = ui->find<QComboBox>("ModLanguageBox");
  QVERIFY(box->isEnabled());
  QCOMPARE(box->currentData().toString(), QStringLiteral("en_US"));
  QCOMPARE(ui->list().model()->rowCount(), 2);

  // Russian: three forms, the third new and empty; an undoable change.
  const int russian = box->findData(QStringLiteral("ru"));
  QVERIFY(russian >= 0);
  box->setCurrentIndex(russian);
  emit box->activated(russian);
  QCOMPARE(ui->list().model()->rowCount(), 3);
  QVERIFY(ui->window->session().rowModText(2).empty());
  QVERIFY(ui->find("SaveButton")->isEnabled());
  QVERIFY(ui->find("UndoButton")->isEnabled());
  ui->list().selectRow(2);
  // The form says which counts show it, by the Russian rules.
  QCOMPARE(ui->text("PluralFormText"),
           QStringLiteral("Plural form 3 of 3: 0, 5\u201320, 25\u201330, \u2026"));

  // Japanese has one form: the English second form's text would go, so
  // the user is asked; Cancel keeps everything.
  ui->dialogs.answerNextMessage(MessageAnswer::cancel);
  const int japanese = box->findData(QStringLiteral("ja"));
  box->setCurrentIndex(japanese);
  emit box->activated(japanese);
  QCOMPARE(ui->dialogs.messageTexts().back(),
           u"In ja the Mod's plural messages have 1 form(s): 1 form(s) that hold text would be "
           u"dropped.\r\nChange the language anyway?");
  QCOMPARE(box->currentData().toString(), QStringLiteral("ru"));
  QCOMPARE(ui->list().model()->rowCount(), 3);

  ui->click("UndoButton");
  QCOMPARE(ui->list().model()->rowCount(), 2);
  QCOMPARE(box->currentData().toString(), QStringLiteral("en_US"));
  ui->click("RedoButton");
  QCOMPARE(box->currentData().toString(), QStringLiteral("ru"));
  QCOMPARE(ui->list().model()->rowCount(), 3);
}

}  // namespace sorvane::test
