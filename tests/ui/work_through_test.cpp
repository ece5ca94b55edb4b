#include "work_through_test.h"

#include "app/elided_label.h"
#include "app/main_window.h"
#include "app/string_list_view.h"
#include "controller/window_controller.h"
#include "textio/exchange_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

namespace sorvane::test {

namespace {

// Translated, untranslated (empty), translated, and one whose Mod text is
// the original's own.
const std::vector<QmEntry> kEnglish = {{1, u"Open file", "Open file", "Main"},
                                       {2, u"Close", "Close", "Main"},
                                       {3, u"Open folder", "Open folder", "Dialog"},
                                       {4, u"&Quit", "&Quit", "Dialog"}};
const std::vector<QmEntry> kGerman = {{1, u"Datei \u00F6ffnen", "Open file", "Main"},
                                      {2, u"", "Close", "Main"},
                                      {3, u"Ordner \u00F6ffnen", "Open folder", "Dialog"},
                                      {4, u"&Beenden", "&Quit", "Dialog"}};

QWidget* focused() { return QApplication::focusWidget(); }

}  // namespace

void WorkThroughTest::init() {
  ui = std::make_unique<MainWindowFixture>();
  ui->open(ui->write("en.qm", kEnglish), ui->write("de.qm", kGerman));
}

void WorkThroughTest::cleanup() {
  ui->window->session().setModified(false);
  ui.reset();
}

void WorkThroughTest::theFilterBarShowsTheMatchingRowsAndCountsThem() {
  QVERIFY(!ui->find("FilterBar")->isVisible());
  QTest::keyClick(&ui->list(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  QVERIFY(ui->find("FilterBar")->isVisible());
  QCOMPARE(focused(), ui->find("FilterTextBox"));
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("4 of 4 rows"));

  QTest::keyClicks(focused(), QStringLiteral("open"));
  QCOMPARE(ui->list().model()->rowCount(), 2);
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("2 of 4 rows"));
  // A row keeps its own number; the list's second line is row 2.
  QCOMPARE(ui->cell(1, 0), QStringLiteral("2"));
  QCOMPARE(ui->cell(1, 2), QStringLiteral("Ordner \u00F6ffnen"));

  auto* kind = ui->find<QComboBox>("FilterKindBox");
  kind->setCurrentIndex(kind->findText(QStringLiteral("Untranslated")));
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("0 of 4 rows"));
  ui->type("FilterTextBox", "");
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("1 of 4 rows"));
  QCOMPARE(ui->list().selectedRow(), 1);

  auto* pattern = ui->find<QComboBox>("FilterPatternBox");
  pattern->setCurrentIndex(pattern->findText(QStringLiteral("Regex")));
  kind->setCurrentIndex(0);
  const int width = ui->window->width();
  ui->type("FilterTextBox", "[");
  QVERIFY(ui->find("FilterErrorLabel")->isVisible());
  QCOMPARE(ui->find<ElidedLabel>("FilterErrorLabel")->fullText(),
           QStringLiteral("The regular expression is not valid: missing close bracket at "
                          "character 2."));
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("4 of 4 rows"));  // as before it
  QCOMPARE(ui->window->width(), width);
  ui->type("FilterTextBox", "^&");
  QVERIFY(!ui->find("FilterErrorLabel")->isVisible());
  QCOMPARE(ui->text("FilterCountLabel"), QStringLiteral("1 of 4 rows"));
  // Every caption of the bar fits, in a window no wider than the screen.
  for (const QLabel* label : ui->find("FilterBar")->findChildren<QLabel*>()) {
    if (label->isVisible()) QVERIFY(label->width() >= label->sizeHint().width());
  }
  QVERIFY(ui->window->frameGeometry().width() <= ui->window->screen()->availableGeometry().width());

  // The order: by context puts Dialog's rows first.
  auto* order = ui->find<QComboBox>("RowOrderBox");
  ui->type("FilterTextBox", "");
  order->setCurrentIndex(order->findText(QStringLiteral("By context")));
  QCOMPARE(ui->cell(0, 0), QStringLiteral("3"));
  QCOMPARE(ui->cell(1, 0), QStringLiteral("2"));

  // Hidden, the bar shows every row again, in the order chosen.
  QTest::mouseClick(ui->find<QCheckBox>("FilterCheck"), Qt::LeftButton);
  QVERIFY(!ui->find("FilterBar")->isVisible());
  QCOMPARE(ui->list().model()->rowCount(), 4);
  QCOMPARE(ui->cell(0, 0), QStringLiteral("3"));
}

void WorkThroughTest::replacePreviewsEveryHitAndStoresTheCheckedOnesInOneStep() {
  int previewed = -1;
  QTimer::singleShot(0, [&previewed] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->objectName(), QStringLiteral("ReplaceDialog"));
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("ReplaceFindBox")),
                     QStringLiteral("ffnen"));
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("ReplaceWithBox")),
                     QStringLiteral("ffne"));
    auto* apply = dialog->findChild<QPushButton*>(QStringLiteral("ReplaceApplyButton"));
    QVERIFY(!apply->isEnabled());
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ReplacePreviewButton")),
                      Qt::LeftButton);
    auto* preview = dialog->findChild<QTreeWidget*>(QStringLiteral("ReplacePreviewList"));
    previewed = preview->topLevelItemCount();
    QCOMPARE(preview->topLevelItem(1)->text(1), QStringLiteral("Ordner \u00F6ffnen"));
    QCOMPARE(preview->topLevelItem(1)->text(2), QStringLiteral("Ordner \u00F6ffne"));
    preview->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(apply, Qt::LeftButton);
  });
  QTest::keyClick(&ui->list(), Qt::Key_R, Qt::ControlModifier);
  QCOMPARE(previewed, 2);
  const Session& session = ui->window->session();
  QVERIFY(session.rowModText(0) == u"Datei \u00F6ffnen");
  QVERIFY(session.rowModText(2) == u"Ordner \u00F6ffne");
  QCOMPARE(ui->text("NoticeBar"), QStringLiteral("1 text(s) replaced. Undo puts them back."));
  ui->click("UndoButton");
  QVERIFY(session.rowModText(2) == u"Ordner \u00F6ffnen");
}

void WorkThroughTest::ctrlGStoresAndOpensTheNextRowLeftToDo() {
  // From the list, Ctrl+G opens the first row left: the untranslated one.
  ui->list().selectRow(0);
  QTest::keyClick(&ui->list(), Qt::Key_G, Qt::ControlModifier);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  QVERIFY(editor->isVisible());
  QCOMPARE(ui->window->session().editRow(), 1);
  QCOMPARE(focused(), editor);
  QTest::keyClicks(editor, QStringLiteral("Zu"));
  QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Zu");
  // Nothing else is left: the editors close with a beep.
  QCOMPARE(ui->window->session().editRow(), -1);
  QCOMPARE(ui->dialogs.calls().back().kind, DialogCall::Kind::beep);
}

void WorkThroughTest::ctrlIImportsAnExportedFileWithTheWindowFree() {
  const std::u16string po = ui->folder.widePath("de.po");
  QVERIFY(exportUnits(ui->window->session(), ExchangeFormat::po, po, u"", ui->dialogs));
  // Another tool translates the empty message meanwhile.
  const Bytes exported = ui->folder.read("de.po");
  std::string text(exported.begin(), exported.end());
  const std::string empty = "msgid \"Close\"\nmsgstr \"\"";
  const std::size_t at = text.find(empty);
  QVERIFY(at != std::string::npos);
  text.replace(at, empty.size(),
               "msgid \"Close\"\nmsgstr \"Schlie\xC3\x9F"
               "en\"");
  ui->folder.write("de.po", bytesOf(text));

  ui->dialogs.answerNextChooser(po);
  QTest::keyClick(&ui->list(), Qt::Key_I, Qt::ControlModifier);
  QVERIFY(ui->window->session().rowModText(1) == u"Schlie\u00DFen");
  const std::vector<std::u16string> messages = ui->dialogs.messageTexts();
  QVERIFY(!messages.empty());
  QVERIFY(messages.back().find(u"1") != std::u16string::npos);
  QCOMPARE(ui->find<QPushButton>("ImportButton")->text(), QStringLiteral("&Import"));
}

void WorkThroughTest::misspeltWordsAreUnderlinedAndTheMenuOffersSuggestions() {
  WindowController& controller = ui->window->controller();
  controller.changeModLanguage("de");
  if (controller.speller() == nullptr) QSKIP("no German dictionary");
  QCOMPARE(ui->find<ElidedLabel>("SpellingText")->fullText().left(5), QStringLiteral("de_DE"));
  ui->list().selectRow(0);
  QTest::keyClick(&ui->list(), Qt::Key_Return);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  QTest::keyClicks(editor, QStringLiteral("Datei nicht gefunnden"));
  // The underline is the editor's own: a wave under the word, as typed.
  const auto underlined = [editor] {
    QStringList words;
    const QTextBlock block = editor->document()->firstBlock();
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
      if (range.format.underlineStyle() == QTextCharFormat::WaveUnderline) {
        words << block.text().mid(range.start, range.length);
      }
    }
    return words;
  };
  QCOMPARE(underlined(), QStringList{QStringLiteral("gefunnden")});

  QString offered;
  QTimer::singleShot(0, [&offered] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->objectName(), QStringLiteral("ModEditorMenu"));
    auto* suggestion = menu->findChild<QAction*>(QStringLiteral("SpellingSuggestion"));
    QVERIFY(suggestion != nullptr);
    QVERIFY(menu->findChild<QAction*>(QStringLiteral("AddToDictionary")) != nullptr);
    offered = suggestion->text();
    suggestion->trigger();
    menu->close();
  });
  QTextCursor at(editor->document());
  at.setPosition(15);
  const QPoint position = editor->cursorRect(at).center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, position,
                          editor->viewport()->mapToGlobal(position));
  QApplication::sendEvent(editor->viewport(), &event);
  QCOMPARE(offered, QStringLiteral("gefunden"));
  QCOMPARE(editor->toPlainText(), QStringLiteral("Datei nicht gefunden"));
  QVERIFY(underlined().isEmpty());
}

}  // namespace sorvane::test
