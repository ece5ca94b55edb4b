#include "memory_panel_test.h"

#include "app/elided_label.h"
#include "app/main_window.h"
#include "app/string_list_view.h"
#include "controller/translation_assistant.h"
#include "controller/window_controller.h"
#include "memory/translation_memory.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace sorvane::test {

namespace {

const std::vector<QmEntry> kEnglish = {{1, u"Close windows", "Close windows", "Main"},
                                       {2, u"Open file", "Open file", "Main"},
                                       {3, u"Help", "Help", "Main"}};

QString suggestion(MainWindowFixture& ui, int i) {
  return ui.find<ElidedLabel>(("Suggestion" + std::to_string(i)).c_str())->fullText();
}

}  // namespace

void MemoryPanelTest::init() {
  data.emplace();
  dataHome.emplace("XDG_DATA_HOME", data->path());
  std::u16string error;
  const std::unique_ptr<TranslationMemory> memory =
      TranslationMemory::open(TranslationMemory::defaultPath(), error);
  QVERIFY(memory);
  QVERIFY(memory->add(
      std::vector<MemorySegment>{{u"Close window", "en", u"Fenster schließen", "de", "Main"},
                                 {u"Open file", "en", u"Datei öffnen", "de_DE", "Other"}},
      u"/somewhere/app_de.qm", error));
}

void MemoryPanelTest::cleanup() {
  if (ui) ui->window->session().setModified(false);
  ui.reset();
  dataHome.reset();
  data.reset();
}

void MemoryPanelTest::openGerman() {
  ui = std::make_unique<MainWindowFixture>();
  // Wide enough for the panel beside the info panel.
  ui->window->resize(1200, 700);
  ui->folder.write("en.qm", buildQm(kEnglish, std::nullopt, "en"));
  ui->folder.write("de.qm", buildQm(kEnglish, std::nullopt, "de"));
  ui->open(ui->folder.path("en.qm"), ui->folder.path("de.qm"));
  QVERIFY(ui->find("SuggestionsPanel")->isVisible());
}

void MemoryPanelTest::theSelectedRowShowsItsSuggestionsAndCtrl1TypesTheFirst() {
  openGerman();
  ui->list().selectRow(0);
  QTRY_COMPARE(suggestion(*ui, 1),
               QStringLiteral("Ctrl+1  92%  Fenster schließen  \u2190 Close [-window-]{+windows+}"
                              "  (app_de.qm)"));
  QCOMPARE(suggestion(*ui, 2), QString());
  QCOMPARE(ui->find<ElidedLabel>("SuggestionsNote")->isVisible(), false);

  // Ctrl+1 puts it into the Mod editor; only Enter stores it.
  QTest::keyClick(&ui->list(), Qt::Key_1, Qt::ControlModifier);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  QTRY_VERIFY(editor->isVisible());
  QCOMPARE(editor->toPlainText(), QStringLiteral("Fenster schließen"));
  QCOMPARE(ui->window->session().rowModText(0), u"Close windows");
  QTest::keyClick(editor, Qt::Key_Return);
  QCOMPARE(ui->window->session().rowModText(0), u"Fenster schließen");

  // Another row: its own suggestions, the exact one at 100%.
  ui->list().selectRow(1);
  QTRY_COMPARE(suggestion(*ui, 1), QStringLiteral("Ctrl+1  100%  Datei öffnen  (app_de.qm)"));
  ui->list().selectRow(2);
  QTRY_COMPARE(ui->find<ElidedLabel>("SuggestionsNote")->fullText(),
               QStringLiteral("No suggestions"));
  QCOMPARE(suggestion(*ui, 1), QString());
  // Nothing to put in: a beep, and the editor stays closed.
  ui->dialogs.clear();
  QTest::keyClick(&ui->list(), Qt::Key_2, Qt::ControlModifier);
  QCOMPARE(ui->dialogs.calls().size(), std::size_t{1});
  QCOMPARE(ui->dialogs.calls()[0].kind, DialogCall::Kind::beep);
  QVERIFY(!editor->isVisible());
}

void MemoryPanelTest::pretranslateFillsExactMatchesAndUndoEmptiesThem() {
  openGerman();
  QTest::mouseClick(ui->find<QPushButton>("PretranslateButton"), Qt::LeftButton);
  QCOMPARE(ui->window->session().rowModText(1), u"Datei öffnen");
  QCOMPARE(ui->window->session().rowModText(0), u"Close windows");
  QCOMPARE(ui->text("NoticeBar"),
           QStringLiteral("1 row(s) pretranslated from the memory. Undo empties them."));
  ui->window->controller().run(CommandId::undo);
  QCOMPARE(ui->window->session().rowModText(1), u"Open file");
}

void MemoryPanelTest::aSaveTeachesTheMemoryItsTranslations() {
  openGerman();
  ui->list().selectRow(2);
  ui->window->controller().openEditors(2);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  editor->setPlainText(QStringLiteral("Hilfe"));
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::keyClick(&ui->list(), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(ui->window->assistant().waitForLearning(), std::u16string());
  std::u16string error;
  const std::unique_ptr<TranslationMemory> memory =
      TranslationMemory::open(TranslationMemory::defaultPath(), error);
  MemoryLookup query;
  query.targetLanguage = "de";
  const std::vector<MemorySuggestion> found = memory->lookup(u"Help", query, error).value();
  QCOMPARE(found.size(), std::size_t{1});
  QCOMPARE(found[0].target, u"Hilfe");
  QCOMPARE(found[0].origin, ui->folder.widePath("de.qm"));
}

void MemoryPanelTest::addFolderLearnsItsFilesAndSaysWhatItAdded() {
  openGerman();
  std::filesystem::create_directories(ui->folder.path("catalogues/sub/none"));
  ui->folder.write("catalogues/sub/help_de.qm",
                   buildQm({{7, u"Hilfe", "Help", "Main"}, {8, u"Info", "About", "Main"}}));
  ui->folder.write("catalogues/readme.txt", bytesOf("not a catalogue"));
  ui->dialogs.answerNextChooser(ui->folder.widePath("catalogues"));
  QVERIFY(ui->window->controller().run(CommandId::addFolderToMemory));
  QCOMPARE(ui->dialogs.messageTexts().back(),
           u"Files read: 1\r\nTranslations read: 2\r\nNew to the memory: 2");
  ui->list().selectRow(2);
  QTRY_COMPARE(suggestion(*ui, 1), QStringLiteral("Ctrl+1  100%  Hilfe  (help_de.qm)"));
  // A folder without translation files is said so.
  ui->folder.write("catalogues/sub/none/x.txt", bytesOf("x"));
  ui->dialogs.answerNextChooser(ui->folder.widePath("catalogues/sub/none"));
  QVERIFY(ui->window->controller().run(CommandId::addFolderToMemory));
  QCOMPARE(ui->dialogs.messageTexts().back(), u"No QM, PO, XLIFF, TS or TMX file is in " +
                                                  ui->folder.widePath("catalogues/sub/none") +
                                                  u".");
}

void MemoryPanelTest::aDamagedMemoryIsNamedAndTheEditorWorksOn() {
  ui.reset();
  data->write("sorvane/memory.sqlite", bytesOf(std::string(8192, 'x')));
  openGerman();
  ui->list().selectRow(0);
  QVERIFY(ui->find<ElidedLabel>("SuggestionsNote")
              ->fullText()
              .startsWith(QStringLiteral("The translation memory ") +
                          QString::fromStdString(data->path()) +
                          QStringLiteral("/sorvane/memory.sqlite can't be used (")));
  QVERIFY(ui->find<ElidedLabel>("SuggestionsNote")
              ->fullText()
              .endsWith(QStringLiteral("Sorvane works on without suggestions.")));
  ui->window->controller().openEditors(0);
  auto* editor = ui->find<QPlainTextEdit>("ModifiedEditor");
  editor->setPlainText(QStringLiteral("Fenster schließen"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCOMPARE(ui->window->session().rowModText(0), u"Fenster schließen");
  // Pretranslate says why it can't.
  QTest::mouseClick(ui->find<QPushButton>("PretranslateButton"), Qt::LeftButton);
  QVERIFY(ui->dialogs.messageTexts().back().starts_with(u"The translation memory "));
}

}  // namespace sorvane::test
