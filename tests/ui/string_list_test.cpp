#include "string_list_test.h"

#include "platform/paths.h"
#include "platform/text_codec.h"

#include <QComboBox>
#include <QImage>
#include <QPlainTextEdit>

namespace sorvane::test {

namespace {

QColor rgb(unsigned value) { return QColor::fromRgb(static_cast<QRgb>(value)); }

}  // namespace

void StringListTest::init() {
  ui = std::make_unique<MainWindowFixture>();
  ui->window->resize(600, 500);
}

void StringListTest::cleanup() { ui.reset(); }

QColor StringListTest::cellColour(int row, int column) const {
  const QRect rect = ui->list().visualRect(ui->list().model()->index(row, column));
  const QImage image = ui->list().viewport()->grab().toImage();
  // Right of the text, below the corner where a row with a problem has its
  // mark.
  return image.pixelColor(rect.right() - 1, rect.bottom() - 1);
}

// Rows: 0 changed, 1 unchanged, 2 new, 3 dropped, 4 old only, 5 only in Mod.
void StringListTest::openColouredSession() {
  const std::string old = ui->write("old.qm", {{1, u"Hello", "Hello", "Main"},
                                               {2, u"Same", "Same", "Main"},
                                               {4, u"Dropped", "Dropped", "Main"},
                                               {6, u"Old only", "", ""}});
  const std::string fresh = ui->write("new.qm", {{1, u"Hello!", "Hello", "Main"},
                                                 {2, u"Same", "Same", "Main"},
                                                 {3, u"Fresh", "Fresh", "Main"}});
  const std::string mod = ui->write("mod.qm", {{1, u"Hallo", "Hello", "Main"},
                                               {2, u"Gleich", "Same", "Main"},
                                               {4, u"Weg", "Dropped", "Main"},
                                               {5, u"Nur im Mod, ein langer Text", "Mine", "X"}});
  ui->open(fresh, mod, old);
  QCOMPARE(ui->list().model()->rowCount(), 6);
}

void StringListTest::cellsShowPaddedRowNumbersAndTheTextsOfTheMode() {
  std::vector<QmEntry> eleven;
  for (int i = 0; i < 11; ++i) eleven.push_back({static_cast<std::uint32_t>(i), u"t", "", ""});
  ui->open(ui->write("en.qm", eleven), "");
  QCOMPARE(ui->cell(0, 0), QStringLiteral("00"));
  QCOMPARE(ui->cell(10, 0), QStringLiteral("10"));
  QCOMPARE(ui->cell(3, 1), QStringLiteral("t"));
  QCOMPARE(ui->cell(3, 2), QStringLiteral("t"));
  QCOMPARE(ui->cell(3, 3), QString());
  ui->click("CloseButton");

  openColouredSession();
  QCOMPARE(ui->cell(0, 1), QStringLiteral("Hello"));
  QCOMPARE(ui->cell(0, 2), QStringLiteral("Hello!"));
  QCOMPARE(ui->cell(0, 3), QStringLiteral("Hallo"));
  QCOMPARE(ui->cell(3, 2), QString());
  QCOMPARE(ui->cell(5, 3), QStringLiteral("Nur im Mod, ein langer Text"));
  QCOMPARE(ui->list().columnWidth(0), 0);
}

void StringListTest::tooltipsCarryTheWholeText() {
  openColouredSession();
  const QModelIndex index = ui->list().model()->index(5, 3);
  QCOMPARE(index.data(Qt::ToolTipRole).toString(), QStringLiteral("Nur im Mod, ein langer Text"));
}

void StringListTest::theLegendCountsTheColoursAndWalksThroughThem() {
  const auto legend = [this] {
    QStringList texts;
    for (const char* name : {"LegendNew", "LegendDropped", "LegendChanged", "LegendModOnly"}) {
      texts << ui->find<QPushButton>(name)->text();
    }
    return texts.join(QLatin1Char('|'));
  };
  QVERIFY(!ui->find("ModUpdateLegend")->isVisible());
  openColouredSession();
  QVERIFY(ui->find("ModUpdateLegend")->isVisible());
  QCOMPARE(legend(), QStringLiteral("New (1)|Dropped (1)|Changed (1)|Mod only (1)"));

  // Ctrl+J walks the coloured rows (changed, new, dropped, Mod only),
  // wrapping around; Ctrl+Shift+J walks back.
  ui->list().setFocus();
  ui->list().selectRow(0);
  for (const int expected : {2, 3, 5, 0}) {
    QTest::keyClick(&ui->list(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(ui->list().selectedRow(), expected);
  }
  QTest::keyClick(&ui->list(), Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(ui->list().selectedRow(), 5);
  // An entry selects the next row of its kind, with Shift the previous one.
  QTest::mouseClick(ui->find<QPushButton>("LegendDropped"), Qt::LeftButton);
  QCOMPARE(ui->list().selectedRow(), 3);
  QTest::mouseClick(ui->find<QPushButton>("LegendChanged"), Qt::LeftButton, Qt::ShiftModifier);
  QCOMPARE(ui->list().selectedRow(), 0);

  // The counts follow edits, deletions and undo.
  ui->list().selectRow(5);
  ui->list().setFocus();
  QTest::keyClick(&ui->list(), Qt::Key_Delete);
  // The emptied Mod-only row is in no file now: white, no longer left.
  QCOMPARE(legend(), QStringLiteral("New (1)|Dropped (1)|Changed (1)|Mod only (0 of 1 left)"));
  ui->click("UndoButton");
  QCOMPARE(legend(), QStringLiteral("New (1)|Dropped (1)|Changed (1)|Mod only (1)"));
  ui->list().selectRow(2);
  ui->list().setFocus();
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  QTest::keyClicks(editor, QStringLiteral("Frisch"));
  QTest::keyClick(editor, Qt::Key_Return);
  // A new row with a text is seen to, and marked so beside its colour.
  QCOMPARE(legend(), QStringLiteral("New (0 of 1 left)|Dropped (1)|Changed (1)|Mod only (1)"));
  QVERIFY(ui->list().model()->index(2, 3).data(StringListModel::kSeenToRole).toBool());
  QVERIFY(!ui->list().model()->index(0, 3).data(StringListModel::kSeenToRole).toBool());

  ui->dialogs.answerNextMessage(MessageAnswer::no);
  ui->click("CloseButton");
  QVERIFY(!ui->find("ModUpdateLegend")->isVisible());
}

void StringListTest::modUpdateRowsTakeTheColourOfTheirState() {
  openColouredSession();
  ui->list().clearSelection();
  QCOMPARE(cellColour(0, 3), rgb(0xE0E0FF));
  QCOMPARE(cellColour(1, 3), rgb(0xFFFFFF));
  QCOMPARE(cellColour(2, 3), rgb(0xE0FFE0));
  QCOMPARE(cellColour(3, 3), rgb(0xFFE0E0));
  QCOMPARE(cellColour(4, 3), rgb(0xFFFFFF));
  QCOMPARE(cellColour(5, 3), rgb(0xFFFFD6));
  // The whole row has the colour, and the grid is silver.
  QCOMPARE(cellColour(2, 1), rgb(0xE0FFE0));
  const QRect cell = ui->list().visualRect(ui->list().model()->index(2, 1));
  const QImage image = ui->list().viewport()->grab().toImage();
  QCOMPARE(image.pixelColor(cell.left() + 5, cell.bottom()), rgb(0xC0C0C0));
  QCOMPARE(image.pixelColor(cell.right() + 1, cell.top() + 2), rgb(0xC0C0C0));
  // In the selected row too, with and without the focus.
  ui->list().selectRow(2);
  for (const bool focused : {true, false}) {
    ui->list().setListHasFocus(focused);
    const QImage selected = ui->list().viewport()->grab().toImage();
    for (int column = 0; column < 3; ++column) {
      const QRect at = ui->list().visualRect(ui->list().model()->index(2, column));
      QCOMPARE(selected.pixelColor(at.right() + 1, at.top() + 2), rgb(0xC0C0C0));
    }
  }
}

void StringListTest::aSelectedRowIsStrongerWithFocusAndPalerWithout() {
  openColouredSession();
  struct Case {
    int row;
    unsigned focused, unfocused;
  };
  for (const Case& c :
       {Case{0, 0x7F7FFE, 0xBEBEFE}, Case{1, 0xBFBFBF, 0xDEDEDE}, Case{2, 0x7FBF7F, 0xBEDEBE},
        Case{3, 0xFE7F7F, 0xFEBEBE}, Case{5, 0xFFFF00, 0xFEFE7F}}) {
    ui->list().setFocus();
    QTRY_VERIFY(ui->list().listHasFocus());
    ui->list().selectRow(c.row);
    QCOMPARE(cellColour(c.row, 2), rgb(c.focused));
    ui->find("FindEdit")->setFocus();
    QTRY_VERIFY(!ui->list().listHasFocus());
    QCOMPARE(ui->list().selectedRow(), c.row);
    QCOMPARE(cellColour(c.row, 2), rgb(c.unfocused));
  }
}

void StringListTest::storingATextRecoloursTheRow() {
  openColouredSession();
  ui->list().clearSelection();
  Session& session = ui->window->session();
  session.setRowModText(2, u"Frisch");
  QCOMPARE(cellColour(2, 3), rgb(0xFFFFFF));
  session.setRowModText(2, u"");
  QCOMPARE(cellColour(2, 3), rgb(0xE0FFE0));
  session.setRowModText(3, u"");
  QCOMPARE(cellColour(3, 3), rgb(0xFFFFFF));
}

void StringListTest::selectingARowShowsItsLengthsAndSections() {
  openColouredSession();
  ui->list().selectRow(0);
  QCOMPARE(ui->text("OldOriginalCaption"), QStringLiteral("Old Original String (5)"));
  QCOMPARE(ui->text("NewOriginalCaption"), QStringLiteral("New Original String (6)"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));
  QCOMPARE(ui->text("SectionText"), QStringLiteral("Hello"));
  QCOMPARE(ui->text("SubSectionText"), QStringLiteral("Main"));
  ui->list().clearSelection();
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String"));
  QCOMPARE(ui->text("SectionText"), QString());
}

void StringListTest::pluralFormsAreRowsThatSayWhichFormTheyAre() {
  // One plain message and one with three forms.
  const Bytes plural = join({translationItem(u"one"),
                             translationItem(u"few"),
                             translationItem(u"many"),
                             byteTextItem(0x06, "Files"),
                             byteTextItem(0x07, "Main"),
                             {0x01}});
  const Bytes plain = writerRecord(1, u"Open");
  ui->folder.write("ru.qm",
                   assembleQm({.index = {{1, 0}, {2, static_cast<std::uint32_t>(plain.size())}},
                               .messages = join({plain, plural})}));
  ui->open(ui->folder.path("ru.qm"), "");
  QCOMPARE(ui->list().model()->rowCount(), 4);
  QCOMPARE(ui->list().model()->index(3, 1).data().toString(), QStringLiteral("many"));
  ui->list().selectRow(2);
  QCOMPARE(ui->text("PluralFormText"), QStringLiteral("Plural form 2 of 3"));
  QCOMPARE(ui->text("SectionText"), QStringLiteral("Files"));
  ui->list().selectRow(0);
  QCOMPARE(ui->text("PluralFormText"), QString());
}

void StringListTest::findSearchesWhileTypingAndOnwardWithTheButtonF3AndEnter() {
  ui->open(ui->write("en.qm", {{1, u"xyz", "", ""},
                               {2, u"Abc", "", ""},
                               {3, u"a--c", "", ""},
                               {4, u"ab", "", ""},
                               {5, u"abcd", "", ""}}),
           "");
  auto beeps = [this] {
    return std::count_if(
        ui->dialogs.calls().begin(), ui->dialogs.calls().end(),
        [](const DialogCall& call) { return call.kind == DialogCall::Kind::beep; });
  };
  QWidget* findEdit = ui->find("FindEdit");
  QWidget* next = ui->find("FindNextButton");
  QVERIFY(!next->isEnabled());
  findEdit->setFocus();
  // Each keystroke searches from the top; the focus stays in the box.
  const struct {
    char key;
    int row;
  } typed[] = {{'a', 1}, {'b', 1}, {'c', 1}};
  for (const auto& step : typed) {
    QTest::keyClick(findEdit, step.key);
    QCOMPARE(ui->list().selectedRow(), step.row);
  }
  QVERIFY(findEdit->hasFocus());
  QVERIFY(next->isEnabled());
  // Onward: the Mod column of row 4 ("abcd") too, then one beep and from the top.
  ui->click("FindNextButton");
  QCOMPARE(ui->list().selectedRow(), 4);
  QCOMPARE(beeps(), 0);
  findEdit->setFocus();
  QTest::keyClick(findEdit, Qt::Key_Return);
  QCOMPARE(ui->list().selectedRow(), 1);
  QCOMPARE(beeps(), 1);
  // Wildcards; the row-number column is never searched.
  QTest::keyClick(findEdit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(findEdit, QStringLiteral("a?c"));
  QCOMPARE(ui->list().selectedRow(), 1);
  QTest::keyClick(findEdit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(findEdit, QStringLiteral("a*c"));
  QCOMPARE(ui->list().selectedRow(), 1);
  QTest::keyClick(findEdit, Qt::Key_F3);
  QCOMPARE(ui->list().selectedRow(), 2);
  QTest::keyClick(findEdit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(findEdit, QStringLiteral("4"));
  QCOMPARE(ui->list().selectedRow(), 2);
  QCOMPARE(beeps(), 2);
  // No match: one beep a search, the selection stays; an empty box searches
  // nothing and disables the button.
  QTest::keyClick(findEdit, Qt::Key_Backspace);
  QVERIFY(!next->isEnabled());
  QCOMPARE(ui->list().selectedRow(), 2);
  QCOMPARE(beeps(), 2);
  // F3 works with the panel hidden, from the list.
  QTest::keyClicks(findEdit, QStringLiteral("xyz"));
  QCOMPARE(ui->list().selectedRow(), 0);
  QTest::keyClick(findEdit, Qt::Key_T, Qt::ControlModifier);
  ui->list().setFocus();
  QTest::keyClick(&ui->list(), Qt::Key_F3);
  QCOMPARE(ui->list().selectedRow(), 0);
  QCOMPARE(beeps(), 3);
}

void StringListTest::aModOnlyRowShowsItsOwnSectionsAndZeroLengths() {
  openColouredSession();
  ui->list().selectRow(5);
  QCOMPARE(ui->text("OldOriginalCaption"), QStringLiteral("Old Original String (0)"));
  QCOMPARE(ui->text("NewOriginalCaption"), QStringLiteral("New Original String (0)"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (27)"));
  QCOMPARE(ui->text("SectionText"), QStringLiteral("Mine"));
  QCOMPARE(ui->text("SubSectionText"), QStringLiteral("X"));
}

void StringListTest::columnsAndCaptionsFollowTheWidthInBothModes() {
  // A caption starts where its column's text starts (3 pixels in) and ends
  // within the column, so neighbours never overlap.
  const auto headsColumn = [this](const char* caption, int column) {
    const QWidget* label = ui->find(caption);
    const QWidget* viewport = ui->list().viewport();
    const int left = viewport->mapTo(ui->window.get(), QPoint(0, 0)).x() +
                     ui->list().columnViewportPosition(column);
    const int captionLeft = label->mapTo(ui->window.get(), QPoint(0, 0)).x();
    return captionLeft == left + 3 &&
           captionLeft + label->width() <= left + ui->list().columnWidth(column);
  };
  std::vector<QmEntry> entries(150, QmEntry{1, u"x", "", ""});
  ui->open(ui->write("en.qm", entries), "");
  for (int width : {600, 800}) {
    ui->window->resize(width, 400);
    QTRY_COMPARE(ui->list().viewport()->width() > width - 40, true);
    const int client = ui->list().viewport()->width();
    const int w0 = ui->list().fontMetrics().horizontalAdvance(QStringLiteral("  149  "));
    const int half = (client - w0) / 2;
    QTRY_COMPARE(ui->list().columnWidth(1), half);
    QCOMPARE(ui->list().columnWidth(0), w0);
    QCOMPARE(ui->list().columnWidth(2), half);
    QCOMPARE(ui->list().columnWidth(3), 0);
    QVERIFY(headsColumn("NewOriginalCaption", 1));
    QVERIFY(headsColumn("ModifiedCaption", 2));
  }
  ui->click("CloseButton");
  openColouredSession();
  ui->window->resize(700, 400);
  QTRY_COMPARE(ui->list().columnWidth(1), ui->list().viewport()->width() / 3);
  const int third = ui->list().viewport()->width() / 3;
  QCOMPARE(ui->list().columnWidth(0), 0);
  QCOMPARE(ui->list().columnWidth(3), third);
  QVERIFY(headsColumn("OldOriginalCaption", 1));
  QVERIFY(headsColumn("NewOriginalCaption", 2));
  QVERIFY(headsColumn("ModifiedCaption", 3));
}

void StringListTest::longTextsStayInsideTheirCell() {
  const std::u16string longText(400, u'W');
  ui->open(ui->write("en.qm", {{1, longText + u"\nsecond line", "", ""}, {2, u"", "", ""}}), "");
  ui->list().clearSelection();
  const QRect cell = ui->list().visualRect(ui->list().model()->index(0, 1));
  const QImage image = ui->list().viewport()->grab().toImage();
  // The text is cut before the cell ends: its last pixels and the grid line
  // after it keep their colours.
  QCOMPARE(image.pixelColor(cell.right() - 1, cell.top() + cell.height() / 2), rgb(0xFFFFFF));
  QCOMPARE(image.pixelColor(cell.right() + 1, cell.top() + cell.height() / 2), rgb(0xC0C0C0));
  // One line only: the row below shows nothing of the second line.
  const QRect below = ui->list().visualRect(ui->list().model()->index(1, 1));
  for (int x = below.left() + 2; x < below.right(); x += 3) {
    QCOMPARE(image.pixelColor(x, below.top() + below.height() / 2), rgb(0xFFFFFF));
  }
}

void StringListTest::theFontSizeBoxSetsTheListFont() {
  auto* sizeBox = ui->find<QComboBox>("FontSizeBox");
  QCOMPARE(ui->list().font().pixelSize(), 14);
  sizeBox->setFocus();
  sizeBox->lineEdit()->selectAll();
  QTest::keyClicks(sizeBox, QStringLiteral("2"));
  QCOMPARE(ui->list().font().pixelSize(), 2);
  QTest::keyClicks(sizeBox, QStringLiteral("2"));
  QCOMPARE(ui->list().font().pixelSize(), 22);
  sizeBox->lineEdit()->selectAll();
  QTest::keyClick(sizeBox, Qt::Key_0);
  QVERIFY(ui->list().font().pixelSize() > 2);  // the default height
  QCOMPARE(ui->list().font().family(), ui->find<QComboBox>("FontNameBox")->currentText());
}

void StringListTest::browseStartsInTheFoldersOfThePathBox() {
  ui->type("NewOriginalEdit", ui->folder.path("de.qm"));
  ui->dialogs.answerNextChooser(std::u16string(u"/chosen/en.qm"));
  ui->click("NewOriginalBrowse");
  {
    const DialogCall& call = ui->dialogs.calls().back();
    QCOMPARE(call.kind, DialogCall::Kind::chooseFile);
    QCOMPARE(call.fileKind, FileDialogKind::open);
    QCOMPARE(call.filter, std::u16string(u"QM Files (*.qm)|*.qm|All files (*.*)|*.*"));
    QCOMPARE(call.initialFolder, fromLocal8Bit(ui->folder.path()));
    QCOMPARE(call.initialFileName, std::u16string(u"de.qm"));
  }
  QCOMPARE(ui->find<QLineEdit>("NewOriginalEdit")->text(), QStringLiteral("/chosen/en.qm"));

  ui->type("ModFileEdit", ui->folder.path("missing/sub/fr.qm"));
  ui->click("ModFileBrowse");
  QCOMPARE(ui->dialogs.calls().back().fileKind, FileDialogKind::chooseModFile);
  // Only the path's own folder is tried, not the folders above it.
  QCOMPARE(ui->dialogs.calls().back().initialFolder, std::u16string());
  QCOMPARE(ui->dialogs.calls().back().initialFileName, std::u16string(u"fr.qm"));
  QCOMPARE(ui->find<QLineEdit>("ModFileEdit")->text(),
           QString::fromStdString(ui->folder.path("missing/sub/fr.qm")));

  ui->type("ModFileEdit", ui->folder.path());
  ui->click("ModFileBrowse");
  QCOMPARE(ui->dialogs.calls().back().initialFolder, fromLocal8Bit(ui->folder.path()));
  QCOMPARE(ui->dialogs.calls().back().initialFileName,
           fileNamePart(fromLocal8Bit(ui->folder.path())));

  ui->find<QLineEdit>("ModFileEdit")->clear();
  ui->click("ModFileBrowse");
  QCOMPARE(ui->dialogs.calls().back().initialFolder, std::u16string());
  QCOMPARE(ui->dialogs.calls().back().initialFileName, std::u16string());
}

void StringListTest::problemsAreMarkedCountedAndWalkedWithF8() {
  // Rows 0 and 1 give two menu items one accelerator; row 2 lost its colon.
  const std::string original = ui->write("en.qm", {{1, u"&Open", "Open", "Menu"},
                                                   {2, u"&Close", "Close", "Menu"},
                                                   {3, u"File:", "File", "Main"},
                                                   {4, u"Name", "Name", "Main"}});
  const std::string mod = ui->write("de.qm", {{1, u"&Datei", "Open", "Menu"},
                                              {2, u"&Dicht", "Close", "Menu"},
                                              {3, u"Datei", "File", "Main"},
                                              {4, u"Name", "Name", "Main"}});
  ui->open(original, mod);
  auto* count = ui->find<QPushButton>("LegendProblems");
  QVERIFY(count->isVisible());
  QVERIFY(!ui->find<QPushButton>("LegendNew")->isVisible());
  QCOMPARE(count->text(), QStringLiteral("Problems (3)"));

  // A red corner on the Mod cell of each row with a problem.
  ui->list().clearSelection();
  const auto corner = [this](int row) {
    const QRect rect = ui->list().visualRect(ui->list().model()->index(row, 2));
    return ui->list().viewport()->grab().toImage().pixelColor(rect.right() - 1, rect.top() + 1);
  };
  QCOMPARE(corner(0), rgb(0xD02020));
  QCOMPARE(corner(2), rgb(0xD02020));
  QCOMPARE(corner(3), rgb(0xFFFFFF));

  // F8 walks the rows with problems, wrapping; Shift+F8 walks back.
  ui->list().setFocus();
  ui->list().selectRow(3);
  for (const int expected : {0, 1, 2, 0}) {
    QTest::keyClick(&ui->list(), Qt::Key_F8);
    QCOMPARE(ui->list().selectedRow(), expected);
  }
  QTest::keyClick(&ui->list(), Qt::Key_F8, Qt::ShiftModifier);
  QCOMPARE(ui->list().selectedRow(), 2);
  // (The line lays itself out once the changes' half has been hidden.)
  QTRY_COMPARE(ui->text("ProblemsText"),
               QStringLiteral("The original ends with \":\", the translation doesn't"));
  QTest::mouseClick(count, Qt::LeftButton);
  QCOMPARE(ui->list().selectedRow(), 0);
  QVERIFY(ui->text("ProblemsText").startsWith(QStringLiteral("The accelerator &d is also")));

  // Mending a text clears its mark at once, for the clash on both rows;
  // undo brings it back.
  ui->list().selectRow(1);
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("&Schlie\u00DFen"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCOMPARE(count->text(), QStringLiteral("Problems (1)"));
  QCOMPARE(corner(0), rgb(0xFFFFFF));
  ui->click("UndoButton");
  QCOMPARE(count->text(), QStringLiteral("Problems (3)"));

  // With none left, F8 only beeps.
  ui->list().selectRow(2);
  ui->list().setFocus();
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("Datei:"));
  QTest::keyClick(editor, Qt::Key_Return);
  ui->list().selectRow(1);
  QTest::keyClick(&ui->list(), Qt::Key_F2);
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("&Zu"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCOMPARE(count->text(), QStringLiteral("Problems (0)"));
  ui->dialogs.clear();
  QTest::keyClick(&ui->list(), Qt::Key_F8);
  QCOMPARE(ui->dialogs.calls().size(), std::size_t{1});
  QCOMPARE(ui->dialogs.calls()[0].kind, DialogCall::Kind::beep);
}

void StringListTest::ctrlBCopiesTheOriginalAndAChangedRowShowsWhatChanged() {
  openColouredSession();
  // The changed row: its original text gained a "!", which the Mod lacks.
  ui->list().setFocus();
  ui->list().selectRow(0);
  QCOMPARE(ui->text("ChangeText"), QStringLiteral("Changed: Hello{+!+}"));
  QCOMPARE(ui->find<QPushButton>("LegendProblems")->text(), QStringLiteral("Problems (1)"));

  // Ctrl+B on the new row: the editor opens with the original's text, all
  // selected, and Enter stores it.
  ui->list().selectRow(2);
  QTest::keyClick(&ui->list(), Qt::Key_B, Qt::ControlModifier);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  QVERIFY(editor->isVisible());
  QCOMPARE(editor->toPlainText(), QStringLiteral("Fresh"));
  QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("Fresh"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCOMPARE(ui->cell(2, 3), QStringLiteral("Fresh"));
  QVERIFY(ui->window->isWindowModified());
}

void StringListTest::removeDroppedEmptiesTheRedRowsInOneStep() {
  openColouredSession();
  auto* button = ui->find<QPushButton>("RemoveDroppedButton");
  QVERIFY(button->isVisible() && button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  QVERIFY(ui->window->session().rowModText(3).empty());
  QVERIFY(!button->isEnabled());
  QCOMPARE(ui->text("NoticeBar"),
           QStringLiteral("1 dropped string(s) emptied: their entries leave the Mod file when it "
                          "is saved. Undo puts them back."));
  QCOMPARE(ui->find<QPushButton>("LegendDropped")->text(), QStringLiteral("Dropped (0 of 1 left)"));
  ui->click("UndoButton");
  QVERIFY(ui->window->session().rowModText(3) == u"Weg");
  QVERIFY(button->isEnabled());
}

void StringListTest::aModOfAnotherOriginalIsNoticedAndEachPairIsAProblem() {
  const std::string original =
      ui->write("en.qm", {{1, u"Open", "Open", "Main"}, {2, u"Type", "Type", "Main"}});
  const std::string mod = ui->write(
      "de.qm", {{1, u"\u00D6ffnen", "Open", "Main"}, {3, u"Gr\u00F6\u00DFe", "Size", "Main"}});
  ui->open(original, mod);
  QVERIFY(ui->find("NoticeBar")->isVisible());
  QCOMPARE(ui->text("NoticeBar"),
           QStringLiteral("1 rows pair messages that differ: this Mod may have been made for "
                          "another Original. Open it in \"Mod update\" with the Original it was "
                          "made for."));
  QCOMPARE(ui->find<QPushButton>("LegendProblems")->text(), QStringLiteral("Problems (1)"));
  QVERIFY(ui->list().model()->index(1, 2).data(StringListModel::kProblemRole).toBool());
}

}  // namespace sorvane::test
