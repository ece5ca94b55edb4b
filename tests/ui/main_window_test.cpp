#include "main_window_test.h"

#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include "app/command_line.h"
#include "app/search_window.h"
#include "platform/path_codec.h"
#include "qm/qm_reader.h"
#include "support/scoped_environment.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMimeData>
#include <QUrl>

namespace sorvane::test {

namespace {

const std::vector<QmEntry> kThree = {{0x11, u"Open", "Open", "MainWindow"},
                                     {0x22, u"Close", "Close", "MainWindow"},
                                     {0x33, u"Size: %1", "Size: %1", "Dialog"}};

}  // namespace

void MainWindowTest::init() { ui = std::make_unique<MainWindowFixture>(); }

void MainWindowTest::cleanup() { ui.reset(); }

void MainWindowTest::everyControlHasItsNameCaptionAndInitialState() {
  QCOMPARE(ui->window->windowTitle(), QStringLiteral("Sorvane"));
  // At least the design's size, more where the controls need it.
  QVERIFY(ui->window->width() >= 406 && ui->window->height() >= 355);
  QCOMPARE(ui->window->minimumSize(), ui->window->layout()->minimumSize());
  struct Expected {
    const char* name;
    const char* caption;
    bool enabled;
  };
  for (const Expected& control :
       std::initializer_list<Expected>{{"OldOriginalBrowse", "...", false},
                                       {"NewOriginalBrowse", "...", true},
                                       {"ModFileBrowse", "...", true},
                                       {"OpenButton", "Open", true},
                                       {"SaveButton", "&Save", false},
                                       {"ExportButton", "&Export", false},
                                       {"CloseButton", "Close", false},
                                       {"FindNextButton", "->", false},
                                       {"UndoButton", "Undo", false},
                                       {"RedoButton", "Redo", false},
                                       {"SearchFolderButton", "Search in &folder", true},
                                       {"DebugQmButton", "Make \"debug\" QM", false}}) {
    auto* button = ui->find<QAbstractButton>(control.name);
    QCOMPARE(button->text(), QString::fromUtf8(control.caption));
    QVERIFY2(button->isEnabled() == control.enabled, control.name);
  }
  QCOMPARE(ui->text("NewOriginalLabel"), QStringLiteral("Original file:"));
  QCOMPARE(ui->text("OldOriginalLabel"), QStringLiteral("Old original file:"));
  QCOMPARE(ui->text("ModFileLabel"), QStringLiteral("Mod file:"));
  QCOMPARE(ui->text("FindLabel"), QStringLiteral("&Find:"));
  QCOMPARE(ui->text("SectionLabel"), QStringLiteral("Section:"));
  QCOMPARE(ui->text("SubSectionLabel"), QStringLiteral("SubSection:"));
  QCOMPARE(ui->text("NewOriginalCaption"), QStringLiteral("Original String"));
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String"));
  QVERIFY(!ui->find<QLabel>("OldOriginalCaption")->isVisible());
  QVERIFY(!ui->find<QLineEdit>("OldOriginalEdit")->isEnabled());
  QVERIFY(ui->find<QRadioButton>("TraditionalRadio")->isChecked());
  QVERIFY(ui->find<QCheckBox>("ChangeSameCheck")->isEnabled());
  QVERIFY(!ui->find<QCheckBox>("ChangeSameCheck")->isChecked());
  QCOMPARE(ui->find<QComboBox>("FontSizeBox")->currentText(), QStringLiteral("14"));
  QCOMPARE(ui->find<QComboBox>("FontSizeBox")->count(), 16);
  QVERIFY(ui->find<QWidget>("ControlsPanel")->isVisible());
  QVERIFY(!ui->find<QWidget>("ShowPanelStrip")->isVisible());
  QCOMPARE(ui->list().model()->rowCount(), 0);
}

void MainWindowTest::controlsKeepTheirArrangementOnResize() {
  // Text boxes stretch, the buttons at the right keep to the right edge,
  // the controls at the left stay where they are.
  const auto rightGap = [this](const char* name) {
    const QWidget* widget = ui->find(name);
    return ui->window->width() - widget->mapTo(ui->window.get(), widget->rect().topRight()).x();
  };
  const auto leftEdge = [this](const char* name) {
    return ui->find(name)->mapTo(ui->window.get(), QPoint(0, 0)).x();
  };
  const char* rightAnchored[] = {"OldOriginalBrowse", "NewOriginalBrowse", "ModFileBrowse",
                                 "CloseButton",       "FindNextButton",    "DebugQmButton"};
  const char* leftAnchored[] = {"FontLabel",  "ModeLabel",       "TraditionalRadio",
                                "UndoButton", "ChangeSameCheck", "NewOriginalEdit"};
  std::map<std::string, int> gaps;
  std::map<std::string, int> lefts;
  for (const char* name : rightAnchored) gaps[name] = rightGap(name);
  for (const char* name : leftAnchored) lefts[name] = leftEdge(name);
  const int editWidth = ui->find("NewOriginalEdit")->width();
  const int findWidth = ui->find("FindEdit")->width();
  ui->window->resize(ui->window->width() + 100, ui->window->height() + 50);
  QTRY_COMPARE(ui->find("NewOriginalEdit")->width(), editWidth + 100);
  QCOMPARE(ui->find("FindEdit")->width(), findWidth + 100);
  for (const char* name : rightAnchored) QVERIFY2(rightGap(name) == gaps[name], name);
  for (const char* name : leftAnchored) QVERIFY2(leftEdge(name) == lefts[name], name);
  // Each text box ends left of the button beside it, on the same line.
  for (const auto& [box, button] :
       {std::pair{"OldOriginalEdit", "OldOriginalBrowse"},
        std::pair{"NewOriginalEdit", "NewOriginalBrowse"},
        std::pair{"ModFileEdit", "ModFileBrowse"}, std::pair{"FindEdit", "FindNextButton"}}) {
    QVERIFY(ui->find(box)->geometry().right() < ui->find(button)->x());
    QCOMPARE(ui->find(box)->geometry().center().y(), ui->find(button)->geometry().center().y());
  }
}

void MainWindowTest::modeButtonsSwitchLabelsAndControls() {
  QTest::mouseClick(ui->find<QRadioButton>("ModUpdateRadio"), Qt::LeftButton);
  QCOMPARE(ui->text("NewOriginalLabel"), QStringLiteral("New original file:"));
  QCOMPARE(ui->text("NewOriginalCaption"), QStringLiteral("New Original String"));
  QVERIFY(ui->find<QLabel>("OldOriginalCaption")->isVisible());
  QVERIFY(ui->find<QLineEdit>("OldOriginalEdit")->isEnabled());
  QVERIFY(ui->find<QPushButton>("OldOriginalBrowse")->isEnabled());
  QVERIFY(!ui->find<QCheckBox>("ChangeSameCheck")->isEnabled());
  QTest::mouseClick(ui->find<QRadioButton>("TraditionalRadio"), Qt::LeftButton);
  QCOMPARE(ui->text("NewOriginalLabel"), QStringLiteral("Original file:"));
  QVERIFY(!ui->find<QLineEdit>("OldOriginalEdit")->isEnabled());
}

void MainWindowTest::openingSetsTheStateOfEveryControl() {
  QAbstractItemModelTester tester(ui->list().model(),
                                  QAbstractItemModelTester::FailureReportingMode::QtTest);
  ui->open(ui->write("en.qm", kThree), "");
  QVERIFY(ui->dialogs.calls().empty());
  QCOMPARE(ui->list().model()->rowCount(), 3);
  QCOMPARE(ui->find<QLineEdit>("ModFileEdit")->text(),
           QString::fromStdString(ui->folder.path("en1.qm")));
  for (const char* disabled :
       {"TraditionalRadio", "ModUpdateRadio", "OpenButton", "NewOriginalEdit", "NewOriginalBrowse",
        "OldOriginalEdit", "OldOriginalBrowse", "SaveButton"}) {
    QVERIFY2(!ui->find(disabled)->isEnabled(), disabled);
  }
  for (const char* enabled :
       {"ExportButton", "CloseButton", "DebugQmButton", "ModFileEdit", "ModFileBrowse"}) {
    QVERIFY2(ui->find(enabled)->isEnabled(), enabled);
  }
  QCOMPARE(ui->list().selectedRow(), 0);
  QVERIFY(ui->list().hasFocus());

  ui->click("CloseButton");
  for (const char* enabled : {"TraditionalRadio", "ModUpdateRadio", "OpenButton", "NewOriginalEdit",
                              "NewOriginalBrowse", "ModFileEdit", "ModFileBrowse"}) {
    QVERIFY2(ui->find(enabled)->isEnabled(), enabled);
  }
  for (const char* disabled :
       {"SaveButton", "ExportButton", "CloseButton", "DebugQmButton", "OldOriginalEdit"}) {
    QVERIFY2(!ui->find(disabled)->isEnabled(), disabled);
  }
  QCOMPARE(ui->list().model()->rowCount(), 0);
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String"));
}

void MainWindowTest::modUpdateOpenLeavesTheDebugButtonDisabled() {
  const std::string path = ui->write("en.qm", kThree);
  ui->open(path, "", path);
  QCOMPARE(ui->list().model()->rowCount(), 3);
  QVERIFY(!ui->find("DebugQmButton")->isEnabled());
  QVERIFY(!ui->find("OldOriginalEdit")->isEnabled());
  QVERIFY(ui->find("CloseButton")->isEnabled());
}

void MainWindowTest::aFailedOpenChangesNoControl() {
  const std::string original = ui->write("en.qm", kThree);
  const std::string mod = ui->write("de.qm", {{1, u"x", "", ""}});
  ui->open(original, mod);
  QCOMPARE(ui->dialogs.messageTexts().size(), std::size_t{1});
  QCOMPARE(
      QString::fromStdU16String(ui->dialogs.messageTexts()[0]),
      QStringLiteral("Different strings count in Original and Mod files. (3 : 1)\r\nThis Mod may "
                     "have been made for another Original: open it in \"Mod update\" with "
                     "the Original it was made for."));
  QVERIFY(ui->find("OpenButton")->isEnabled());
  QVERIFY(!ui->find("CloseButton")->isEnabled());
  QVERIFY(ui->find("TraditionalRadio")->isEnabled());
  QCOMPARE(ui->list().model()->rowCount(), 0);
  QCOMPARE(ui->find<QLineEdit>("ModFileEdit")->text(), QString::fromStdString(mod));
}

void MainWindowTest::closingTheWindowAsksAboutUnsavedChanges() {
  ui->open(ui->write("en.qm", kThree), "");
  ui->window->session().setModified(true);

  ui->dialogs.answerNextMessage(MessageAnswer::cancel);
  QVERIFY(!ui->window->close());
  QVERIFY(ui->window->isVisible());
  QCOMPARE(ui->dialogs.calls().back().caption, std::optional<std::u16string>(u"Changes not saved"));

  ui->dialogs.answerNextMessage(MessageAnswer::yes);
  QVERIFY(ui->window->close());
  QVERIFY(!ui->folder.read("en1.qm").empty());
  QVERIFY(!ui->window->session().isOpen());
}

void MainWindowTest::closingWithoutSavingDropsTheChanges() {
  ui->open(ui->write("en.qm", kThree), "");
  ui->window->session().setModified(true);
  ui->dialogs.answerNextMessage(MessageAnswer::no);
  QVERIFY(ui->window->close());
  QVERIFY(ui->folder.read("en1.qm").empty());
  QCOMPARE(ui->dialogs.messageTexts().size(), std::size_t{1});
}

void MainWindowTest::closeButtonKeepsTheFilesWhenTheQuestionIsCancelled() {
  ui->open(ui->write("en.qm", kThree), "");
  ui->window->session().setModified(true);
  ui->dialogs.answerNextMessage(MessageAnswer::cancel);
  ui->click("CloseButton");
  QCOMPARE(ui->list().model()->rowCount(), 3);
  QVERIFY(ui->find("CloseButton")->isEnabled());
}

void MainWindowTest::saveButtonSavesAndDisablesItself() {
  ui->open(ui->write("en.qm", kThree), "");
  // A stored text redraws the list, and the Save button follows the flag.
  ui->window->session().setModified(true);
  ui->window->session().setRowModText(1, u"Schlie\u00DFen");
  QVERIFY(ui->find("SaveButton")->isEnabled());
  ui->click("SaveButton");
  QVERIFY(!ui->find("SaveButton")->isEnabled());
  QVERIFY(!ui->window->session().modified());
  QCOMPARE(ui->folder.read("en1.qm"),
           buildQm({kThree[0], {0x22, u"Schlie\u00DFen", "Close", "MainWindow"}, kThree[2]}));

  // Another program changes the file: Ctrl+S asks first, and Cancel keeps
  // that program's bytes and the unsaved edit.
  ui->window->session().setRowModText(1, u"Zu");
  ui->window->session().setModified(true);
  ui->folder.write("en1.qm", {1, 2, 3});
  ui->dialogs.answerNextMessage(MessageAnswer::cancel);
  ui->click("SaveButton");
  QCOMPARE(ui->dialogs.messageTexts().size(), std::size_t{1});
  const std::u16string question = ui->dialogs.messageTexts().back();
  QCOMPARE(question,
           u"\"" + ui->folder.widePath("en1.qm") +
               u"\" was changed by another program since Sorvane read or saved it. Overwrite it?");
  QCOMPARE(ui->folder.read("en1.qm"), Bytes({1, 2, 3}));
  QVERIFY(ui->find("SaveButton")->isEnabled());
  ui->dialogs.answerNextMessage(MessageAnswer::ok);
  ui->click("SaveButton");
  QVERIFY(!ui->find("SaveButton")->isEnabled());
  QCOMPARE(ui->folder.read("en1.qm"),
           buildQm({kThree[0], {0x22, u"Zu", "Close", "MainWindow"}, kThree[2]}));
}

void MainWindowTest::tabMovesThroughTheControlsInCreationOrder() {
  QTest::mouseClick(ui->find<QRadioButton>("ModUpdateRadio"), Qt::LeftButton);
  ui->find("OldOriginalEdit")->setFocus();
  QTRY_VERIFY(ui->find("OldOriginalEdit")->hasFocus());
  for (const char* next : {"OldOriginalBrowse", "NewOriginalEdit", "NewOriginalBrowse",
                           "ModFileEdit", "ModFileBrowse"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY2(ui->find(next)->hasFocus(), next);
  }
  ui->find("FontSizeBox")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QVERIFY(ui->find("FindEdit")->hasFocus());
}

void MainWindowTest::stripLabelTogglesTheControlsPanel() {
  ui->window->controller().run(CommandId::toggleControlsPanel);
  QVERIFY(!ui->find("ControlsPanel")->isVisible());
  QVERIFY(ui->find("ShowPanelStrip")->isVisible());
  auto* label = ui->find<QLabel>("ShowPanelLabel");
  QCOMPARE(label->text(), QStringLiteral("Click here to show panel"));
  QTest::mouseClick(label, Qt::LeftButton);
  QVERIFY(ui->find("ControlsPanel")->isVisible());
  QVERIFY(!ui->find("ShowPanelStrip")->isVisible());
}

namespace {

// Runs act on the next modal dialog once it shows.
void onNextDialog(const std::function<void(QWidget&)>& act) {
  QTimer::singleShot(0, [act] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog != nullptr);
    act(*dialog);
  });
}

void clickIn(QWidget& dialog, const char* button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

}  // namespace

void MainWindowTest::exportDialogExportsAndImportsBack() {
  ui->open(ui->write("en.qm", {{1, u"Open", "", ""}, {2, u"Close", "", ""}}), "");
  ui->list().selectRow(1);
  // An empty path keeps the dialog open with the error; Ctrl+I checks the
  // import; the waiting box answered OK imports the edited file.
  const QString path = QString::fromStdString(ui->folder.path("en1.txt"));
  ui->dialogs.answerNextMessage(MessageAnswer::ok);
  ui->dialogs.answerNextMessage(MessageAnswer::ok);
  onNextDialog([&](QWidget& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("FileNameEdit"));
    QCOMPARE(name->text(), path);
    name->clear();
    clickIn(dialog, "OkButton");
    QVERIFY(dialog.isVisible());
    name->setText(path);
    QTest::keyClick(name, Qt::Key_I, Qt::ControlModifier);
    QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("ImportCheck"))->isChecked());
    clickIn(dialog, "OkButton");
  });
  // The side files go to the program's state folder: the test's own here.
  {
    const ScopedEnvironment state("XDG_STATE_HOME", ui->folder.path());
    QTest::keyClick(&ui->list(), Qt::Key_E, Qt::ControlModifier);
  }
  QCOMPARE(ui->folder.read("sorvane/debug1.txt"), utf16Le(u"Open\r\nClose\r\n"));
  const auto texts = ui->dialogs.messageTexts();
  QCOMPARE(texts.size(), std::size_t{2});
  QCOMPARE(texts[0], u"Error exporting to \"\"\r\nNo such file or directory");
  QVERIFY(texts[1].starts_with(u"Now you can open exported text file with external program"));
  QCOMPARE(ui->dialogs.calls()[1].caption,
           std::optional<std::u16string>(u"Press \"OK\" when ready"));
  QVERIFY(ui->find("SaveButton")->isEnabled());
  QCOMPARE(ui->text("ModifiedCaption"), QStringLiteral("Modified String (5)"));

  // Cancel in the waiting box leaves the file and imports nothing.
  ui->click("SaveButton");
  ui->dialogs.answerNextMessage(MessageAnswer::cancel);
  onNextDialog([&](QWidget& dialog) {
    dialog.findChild<QCheckBox*>(QStringLiteral("ImportCheck"))->setChecked(true);
    clickIn(dialog, "OkButton");
  });
  ui->click("ExportButton");
  QVERIFY(!ui->window->session().modified());
  QVERIFY(!ui->folder.read("en2.txt").empty());
}

void MainWindowTest::exportDialogGoesThroughATranslationToolsFormat() {
  ui->open(ui->write("en.qm", {{1, u"Open", "", ""}, {2, u"Close", "", ""}}), "");
  ui->dialogs.answerNextMessage(MessageAnswer::ok);
  onNextDialog([&](QWidget& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("FileNameEdit"));
    auto* format = dialog.findChild<QComboBox*>(QStringLiteral("FormatBox"));
    QCOMPARE(format->currentText(), QStringLiteral("Text lines (.txt)"));
    // The file's extension follows the format.
    format->setCurrentIndex(2);
    QVERIFY(name->text().endsWith(QStringLiteral("en1.xlf")));
    format->setCurrentIndex(1);
    QVERIFY(name->text().endsWith(QStringLiteral("en1.po")));
    dialog.findChild<QCheckBox*>(QStringLiteral("ImportCheck"))->setChecked(true);
    clickIn(dialog, "OkButton");
  });
  ui->click("ExportButton");
  QVERIFY(ui->folder.read("en1.po").size() > 100);
  const auto texts = ui->dialogs.messageTexts();
  QCOMPARE(texts.size(), std::size_t{2});
  QVERIFY(texts[0].starts_with(u"Now you can open the exported file with a translation tool"));
  QVERIFY(texts[1].starts_with(u"2 unit(s) read: 0 translation(s) changed"));
  QCOMPARE(ui->dialogs.calls()[1].caption, std::optional<std::u16string>(u"Import"));
  QVERIFY(!ui->window->session().modified());
}

void MainWindowTest::debugButtonWritesTheDebugFileAndLeavesTheSession() {
  ui->open(ui->write("lang_en.qm", {{1, u"Open", "", ""}, {2, u"Close", "", ""}}), "");
  onNextDialog([](QWidget& dialog) {
    auto* id = dialog.findChild<QLineEdit*>(QStringLiteral("DebugIdEdit"));
    QCOMPARE(id->text(), QStringLiteral("lang_en"));
    clickIn(dialog, "CancelButton");
  });
  ui->click("DebugQmButton");
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  onNextDialog([](QWidget& dialog) {
    dialog.findChild<QLineEdit*>(QStringLiteral("DebugIdEdit"))->setText(QStringLiteral("x"));
    clickIn(dialog, "OkButton");
  });
  const std::u16string debugPath = ui->folder.widePath("chosen.qm");
  ui->dialogs.answerNextChooser(debugPath);
  ui->click("DebugQmButton");
  // The save dialog proposed a name beside the Mod; the file has the IDs,
  // the session its own texts.
  const DialogCall& chooser = ui->dialogs.calls().back();
  QCOMPARE(chooser.kind, DialogCall::Kind::chooseFile);
  QCOMPARE(chooser.fileKind, FileDialogKind::save);
  QVERIFY(chooser.initialFileName == u"lang_en1_debug.qm");
  QVERIFY(chooser.initialFolder == pathFromNative(ui->folder.path()));
  QmDocument written;
  QVERIFY(readQmFile(debugPath, written, {}, ui->dialogs));
  QVERIFY(written.translations.get(1) == u"x1");
  QVERIFY(ui->window->session().rowModText(1) == u"Close");
  QVERIFY(!ui->find("SaveButton")->isEnabled());
  QVERIFY(!ui->window->session().modified());
}

void MainWindowTest::searchWindowFindsFilesAndOpensOne() {
  ui->write("a.qm", {{1, u"Open", "", ""}, {2, u"Datei offnen", "", ""}});
  ui->write("b.qm", {{1, u"Close", "", ""}});
  QTest::keyClick(&ui->list(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
  SearchWindow& search = ui->window->searchWindow();
  QTRY_VERIFY(search.isVisible());
  search.setFields(QString::fromStdString(ui->folder.path()), QStringLiteral("OFFNEN"), true);
  QTest::mouseClick(search.findChild<QPushButton*>(QStringLiteral("SearchButton")), Qt::LeftButton);
  QListWidget& results = search.resultsList();
  QCOMPARE(results.count(), 2);
  QCOMPARE(results.item(0)->text(), QStringLiteral("[ Search completed - found 1 files ]"));
  QCOMPARE(search.findChild<QLabel*>(QStringLiteral("StatusText"))->text(),
           results.item(0)->text());
  QCOMPARE(
      std::count_if(ui->dialogs.calls().begin(), ui->dialogs.calls().end(),
                    [](const DialogCall& call) { return call.kind == DialogCall::Kind::beep; }),
      1);
  // The summary line opens nothing; Enter on a found file opens it with the
  // text in the find box, which selects its row.
  results.setCurrentRow(0);
  results.setFocus();
  QTest::keyClick(&results, Qt::Key_Return);
  QVERIFY(!ui->window->session().isOpen());
  results.setCurrentRow(1);
  QTest::keyClick(&results, Qt::Key_Return);
  QVERIFY(ui->window->session().isOpen());
  QCOMPARE(ui->find<QLineEdit>("NewOriginalEdit")->text(),
           QString::fromStdString(ui->folder.path("a.qm")));
  QCOMPARE(ui->find<QLineEdit>("FindEdit")->text(), QStringLiteral("OFFNEN"));
  QCOMPARE(ui->list().selectedRow(), 1);
  // Enter in the String box searches again.
  results.clear();
  auto* stringBox = search.findChild<QLineEdit*>(QStringLiteral("StringEdit"));
  stringBox->setFocus();
  QTest::keyClick(stringBox, Qt::Key_Return);
  QCOMPARE(results.count(), 2);
  results.setFocus();
  // Ctrl+R toggles the subfolders; Esc hides the window.
  QTest::keyClick(&results, Qt::Key_R, Qt::ControlModifier);
  QVERIFY(!search.subdirectoriesCheck().isChecked());
  QTest::keyClick(&results, Qt::Key_Escape);
  QVERIFY(!search.isVisible());
  // A folder that doesn't exist says so.
  search.setFields(QString::fromStdString(ui->folder.path("none")), QString(), true);
  search.searchOrStop();
  QCOMPARE(ui->dialogs.messageTexts().back(), u"Folder does not exist.");
}

// What a user expects of any desktop editor: the file in the title with
// the unsaved-changes mark, Ctrl+O and Ctrl+W, Enter to open, a line that
// says a Mod path named no file, and a hint for a Qt Linguist source file.
void MainWindowTest::behavesLikeADesktopEditor() {
  const std::string original = ui->write(
      "en.qm",
      {{1, u"one", "A section", "Main"}, {2, u"two\nlines", "A section\nof two lines", "Main"}});
  ui->find<QLineEdit>("NewOriginalEdit")->setText(QString::fromStdString(original));
  auto* modBox = ui->find<QLineEdit>("ModFileEdit");
  modBox->setText(QString::fromStdString(ui->folder.path("typo.qm")));
  modBox->setFocus();
  QTest::keyClick(modBox, Qt::Key_Return);
  QVERIFY(ui->window->session().isOpen());
  QCOMPARE(ui->window->windowTitle(), QStringLiteral("typo.qm[*] \u2014 Sorvane"));
  QVERIFY(!ui->window->isWindowModified());
  QVERIFY(ui->find("NoticeBar")->isVisible());
  QCOMPARE(ui->text("NoticeBar"),
           QString::fromStdString(ui->folder.path("typo.qm")) +
               QStringLiteral(" does not exist: the Mod starts as a copy of the Original"));
  QVERIFY(ui->list().hasFocus());
  // The panel under the list keeps its height; a line break shows as a mark.
  const int panelHeight = ui->find("InfoPanel")->height();
  ui->list().selectRow(1);
  QCOMPARE(ui->find("InfoPanel")->height(), panelHeight);
  QCOMPARE(ui->find("SectionText")->toolTip(), QStringLiteral("A section\nof two lines"));
  QVERIFY(ui->text("SectionText").startsWith(QStringLiteral("A section\u23CEof")));
  QCOMPARE(ui->cell(1, 2), QStringLiteral("two\nlines"));
  ui->window->session().setModified(true);
  ui->window->session().setRowModText(0, u"changed");
  QVERIFY(ui->window->isWindowModified());

  ui->dialogs.answerNextMessage(MessageAnswer::no);
  QTest::keyClick(&ui->list(), Qt::Key_W, Qt::ControlModifier);
  QVERIFY(!ui->window->session().isOpen());
  QCOMPARE(ui->window->windowTitle(), QStringLiteral("Sorvane"));
  QVERIFY(!ui->find("NoticeBar")->isVisible());
  QTest::keyClick(&ui->list(), Qt::Key_O, Qt::ControlModifier);
  QVERIFY(ui->window->session().isOpen());
  QVERIFY(ui->find("NoticeBar")->isVisible());

  // A .ts file is not a QM file, and the box says what to do.
  ui->dialogs.answerNextMessage(MessageAnswer::no);
  QTest::keyClick(&ui->list(), Qt::Key_W, Qt::ControlModifier);
  ui->folder.write("app.ts", bytesOf("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>"));
  ui->dialogs.clear();
  ui->open(ui->folder.path("app.ts"), "");
  QCOMPARE(ui->dialogs.messageTexts().back(),
           u"Invalid header in \"" + ui->folder.widePath("app.ts") +
               u"\"\r\nThis is a Qt Linguist source file; Sorvane opens compiled .qm files (make "
               u"one with lrelease).");
}

// Find says when nothing matched and when it went round, and brings a
// found row out of sight to the middle of the list.
void MainWindowTest::findShowsNotFoundAndWrapping() {
  std::vector<QmEntry> many(200, QmEntry{1, u"text", "", ""});
  many[150].text = u"needle";
  many[20].text = u"Directly";
  ui->window->resize(600, 700);
  ui->open(ui->write("en.qm", many), "");
  auto* find = ui->find<QLineEdit>("FindEdit");
  find->setFocus();
  QTest::keyClicks(find, QStringLiteral("needle"));
  QCOMPARE(ui->list().selectedRow(), 150);
  const QRect row = ui->list().visualRect(ui->list().model()->index(150, 0));
  const int height = ui->list().viewport()->height();
  QVERIFY(row.top() > height / 4 && row.bottom() < height * 3 / 4);
  QVERIFY(!ui->find("FindStatus")->isVisible());
  QTest::keyClick(find, Qt::Key_Return);
  QCOMPARE(ui->text("FindStatus"), QStringLiteral("Search wrapped"));
  find->setText(QStringLiteral("Directory not found"));
  QCOMPARE(ui->text("FindStatus"), QStringLiteral("Not found"));
  QVERIFY(find->palette().color(QPalette::Base) !=
          ui->find<QLineEdit>("ModFileEdit")->palette().color(QPalette::Base));
  find->setText(QStringLiteral("Direct"));
  QVERIFY(!ui->find("FindStatus")->isVisible());
  QCOMPARE(ui->list().selectedRow(), 20);
}

void MainWindowTest::closingTheMainWindowEndsASearchAndItsWindow() {
  for (char name = 'a'; name <= 't'; ++name) {
    ui->write((std::string(1, name) + ".qm").c_str(), {{1, u"x", "", ""}});
  }
  SearchWindow& search = ui->window->searchWindow();
  ui->window->controller().run(CommandId::showSearchWindow);
  QTRY_VERIFY(search.isVisible());
  search.setFields(QString::fromStdString(ui->folder.path()), QStringLiteral("x"), true);
  // The main window closes while the search lets events through.
  QTimer::singleShot(0, ui->window.get(), [this] { QVERIFY(ui->window->close()); });
  search.searchOrStop();
  QCOMPARE(search.resultsList().item(0)->text().left(17), QStringLiteral("[ Search stopped "));
  // No window is left open to keep the program running.
  for (const QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!window->isVisible());
}

}  // namespace sorvane::test

namespace sorvane::test {

void MainWindowTest::theCommandLineNamesTheFilesToOpen() {
  struct Case {
    std::vector<std::string> arguments;
    CommandLine::Action action;
    std::optional<SessionMode> mode;
    SessionPaths paths;
  };
  using Action = CommandLine::Action;
  const Case cases[] = {
      {{}, Action::run, std::nullopt, {}},
      {{"de.qm"}, Action::run, SessionMode::traditional, {u"", u"/work/de.qm", u""}},
      {{"/a/de.qm", "mod.qm"},
       Action::run,
       SessionMode::traditional,
       {u"", u"/a/de.qm", u"/work/mod.qm"}},
      {{"--update", "old.qm", "new.qm"},
       Action::run,
       SessionMode::modUpdate,
       {u"/work/old.qm", u"/work/new.qm", u""}},
      {{"old.qm", "--update", "new.qm", "m.qm"},
       Action::run,
       SessionMode::modUpdate,
       {u"/work/old.qm", u"/work/new.qm", u"/work/m.qm"}},
      {{"--", "-odd.qm"}, Action::run, SessionMode::traditional, {u"", u"/work/-odd.qm", u""}},
      // A name that is no UTF-8 keeps its bytes.
      {{"\xE9t\xE9.qm"},
       Action::run,
       SessionMode::traditional,
       {u"", u"/work/\xDCE9t\xDCE9.qm", u""}},
      {{"--help", "x"}, Action::help, std::nullopt, {}},
      {{"-h"}, Action::help, std::nullopt, {}},
      {{"--version"}, Action::version, std::nullopt, {}},
      {{"a", "b", "c"}, Action::usageError, std::nullopt, {}},
      {{"--update", "a"}, Action::usageError, std::nullopt, {}},
      {{"--update", "a", "b", "c", "d"}, Action::usageError, std::nullopt, {}},
      {{"--frobnicate"}, Action::usageError, std::nullopt, {}},
  };
  for (const Case& test : cases) {
    const CommandLine line = parseCommandLine(test.arguments, "/work");
    const QByteArray what = QByteArray::number(static_cast<int>(&test - cases));
    QVERIFY2(line.action == test.action, what);
    QVERIFY2(line.mode == test.mode, what);
    QVERIFY2(line.paths.oldOriginal == test.paths.oldOriginal, what);
    QVERIFY2(line.paths.newOriginal == test.paths.newOriginal, what);
    QVERIFY2(line.paths.mod == test.paths.mod, what);
    QVERIFY2((line.action == Action::usageError) == !line.error.empty(), what);
  }

  // The window opens what the command line names; a missing Mod starts one.
  const std::string original = ui->write("en.qm", kThree);
  ui->window->openPaths(SessionMode::traditional, {u"", pathFromNative(original), u""});
  QVERIFY(ui->window->session().isOpen());
  QCOMPARE(ui->list().model()->rowCount(), 3);
  QCOMPARE(ui->find<QLineEdit>("ModFileEdit")->text(),
           QString::fromStdString(ui->folder.path("en1.qm")));
}

void MainWindowTest::droppedFilesFillThePathBoxes() {
  const auto drop = [this](const QStringList& files, const char* onto) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data->setUrls(urls);
    QWidget* target = ui->find(onto);
    const QPointF at = target->mapTo(ui->window.get(), target->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ui->window.get(), &enter);
    const bool accepted = enter.isAccepted();
    QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    if (accepted) QApplication::sendEvent(ui->window.get(), &dropped);
    delete data;
    return accepted;
  };
  const auto box = [this](const char* name) { return ui->find<QLineEdit>(name)->text(); };
  // One file: the box under the pointer, else the Original box.
  QVERIFY(drop({"/f/mod.qm"}, "ModFileEdit"));
  QCOMPARE(box("ModFileEdit"), QStringLiteral("/f/mod.qm"));
  QVERIFY(drop({"/f/orig.qm"}, "OpenButton"));
  QCOMPARE(box("NewOriginalEdit"), QStringLiteral("/f/orig.qm"));
  // The disabled old original box passes it to the Original box.
  QVERIFY(drop({"/f/other.qm"}, "OldOriginalEdit"));
  QCOMPARE(box("OldOriginalEdit"), QString());
  QCOMPARE(box("NewOriginalEdit"), QStringLiteral("/f/other.qm"));
  // Two fill the Original and Mod; three switch to Mod update.
  QVERIFY(drop({"/f/a.qm", "/f/b.qm"}, "FindEdit"));
  QCOMPARE(box("NewOriginalEdit") + box("ModFileEdit"), QStringLiteral("/f/a.qm/f/b.qm"));
  QVERIFY(drop({"/f/1.qm", "/f/2.qm", "/f/3.qm"}, "FindEdit"));
  QVERIFY(ui->find<QRadioButton>("ModUpdateRadio")->isChecked());
  QCOMPARE(box("OldOriginalEdit") + box("NewOriginalEdit") + box("ModFileEdit"),
           QStringLiteral("/f/1.qm/f/2.qm/f/3.qm"));
  // Four files, or while files are open, are refused.
  QVERIFY(!drop({"/1", "/2", "/3", "/4"}, "FindEdit"));
  ui->open(ui->write("en.qm", kThree), "");
  QVERIFY(!drop({"/f/x.qm"}, "ModFileEdit"));
}

}  // namespace sorvane::test
