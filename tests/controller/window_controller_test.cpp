#include "controller/window_controller.h"

#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sorvane::test {
namespace {

// Counts the notifications an observer hears, apart from the immediate
// pair around replaced rows.
class CountingObserver : public WindowObserver {
 public:
  void windowChanged(WindowChanges changes) override {
    if ((changes & (WindowChange::rowsAboutToReset | WindowChange::rowsReset)) != 0) return;
    ++notifications;
    last = changes;
  }
  int notifications = 0;
  WindowChanges last = 0;
};

class WindowControllerTest : public ::testing::Test {
 protected:
  WindowControllerTest() { controller.addObserver(observer); }
  ~WindowControllerTest() override { controller.removeObserver(observer); }

  void openTraditional(const std::vector<QmEntry>& entries, std::u16string mod = u"") {
    controller.chooseMode(SessionMode::traditional);
    controller.setPaths({u"", folder.write("en.qm", buildQm(entries)), std::move(mod)});
    observer.notifications = 0;
    ASSERT_TRUE(controller.run(CommandId::openFiles));
    ASSERT_TRUE(controller.session().isOpen());
  }
  bool enabled(CommandId id) const { return commandInfo(id).enabled(controller.state()); }

  TempFolder folder;
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
  CountingObserver observer;
};

const std::vector<QmEntry> kRows = {
    {1, u"Open", "Open", "Main"}, {2, u"Close", "Close", "Main"}, {3, u"Open", "Open", "Dialog"}};

TEST_F(WindowControllerTest, EachCommandRunsExactlyWhenItsRuleAllows) {
  using enum CommandId;
  struct Stage {
    const char* name;
    std::vector<CommandId> enabled;
    std::vector<CommandId> disabled;
  };
  const auto check = [this](const Stage& stage) {
    for (const CommandId id : stage.enabled) EXPECT_TRUE(enabled(id)) << stage.name;
    for (const CommandId id : stage.disabled) EXPECT_FALSE(enabled(id)) << stage.name;
  };
  check({"no files",
         {openFiles, chooseModUpdate, toggleChangeSame, focusFindBox},
         {saveMod, exportTexts, closeFiles, undo, redo, makeDebugQm, nextProblemRow, openEditors,
          storeEdit, findNext, copyOriginal}});
  openTraditional(kRows);
  check({"open",
         {exportTexts, closeFiles, makeDebugQm, nextProblemRow, openEditors, copyOriginal},
         {openFiles, chooseTraditional, chooseModUpdate, saveMod, undo, redo, storeEdit,
          deleteRowText, nextColouredRow}});
  // A command that can't run does nothing: no file is written.
  EXPECT_FALSE(controller.run(saveMod));
  EXPECT_FALSE(std::filesystem::exists(folder.path("en1.qm")));

  controller.openEditors(1);
  check({"editing", {storeEdit, dropEdit, toModEditor}, {}});
  controller.setEditedTextSource([] { return std::u16string(u"Zu"); });
  ASSERT_TRUE(controller.run(storeEdit));
  check({"edited", {saveMod, undo}, {redo, storeEdit}});
  ASSERT_TRUE(controller.run(undo));
  check({"undone", {redo, saveMod}, {}});
}

TEST_F(WindowControllerTest, ACommandTellsItsObserversOnceAtItsEnd) {
  openTraditional(kRows);
  EXPECT_EQ(observer.notifications, 1);
  EXPECT_NE(observer.last & WindowChange::selection, 0U);
  EXPECT_NE(observer.last & WindowChange::focus, 0U);
  EXPECT_EQ(controller.state().selectedRow, 0);

  // Change same stores three rows: still one notification.
  controller.run(CommandId::toggleChangeSame);
  controller.setEditedTextSource([] { return std::u16string(u"\u00D6ffnen"); });
  observer.notifications = 0;
  ASSERT_TRUE(controller.run(CommandId::openEditors));
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  EXPECT_EQ(observer.notifications, 2);
  EXPECT_EQ(controller.session().rowModText(2), u"\u00D6ffnen");
  EXPECT_EQ(controller.session().undoLog().undoPos(), 2);
}

TEST_F(WindowControllerTest, TheTitleAndNoticeNameTheModFile) {
  EXPECT_EQ(controller.title(), u"Sorvane");
  const std::u16string typo = folder.widePath("typo.qm");
  openTraditional(kRows, typo);
  EXPECT_EQ(controller.title(), u"typo.qm[*] \u2014 Sorvane");
  EXPECT_EQ(controller.notice(),
            typo + u" does not exist: the Mod starts as a copy of the Original");
  EXPECT_FALSE(controller.state().modified);

  // Saved under another name, the Mod is that file.
  controller.session().setRowModText(0, u"x");
  controller.session().setModified(true);
  SessionPaths paths = controller.paths();
  paths.mod = folder.widePath("de.qm");
  controller.setPaths(paths);
  ASSERT_TRUE(controller.run(CommandId::saveMod));
  EXPECT_EQ(controller.title(), u"de.qm[*] \u2014 Sorvane");
  EXPECT_FALSE(controller.state().modified);

  ASSERT_TRUE(controller.run(CommandId::closeFiles));
  EXPECT_EQ(controller.title(), u"Sorvane");
  EXPECT_TRUE(controller.notice().empty());
}

TEST_F(WindowControllerTest, AFailedOpenKeepsThePathsAndShowsTheReason) {
  controller.setPaths({u"", folder.write("en.qm", buildQm(kRows)),
                       folder.write("de.qm", buildQm({{1, u"x", "", ""}}))});
  EXPECT_TRUE(controller.run(CommandId::openFiles));
  EXPECT_FALSE(controller.session().isOpen());
  EXPECT_EQ(dialogs.messageTexts(),
            std::vector<std::u16string>{
                u"Different strings count in Original and Mod files. (3 : 1)\r\nThis Mod may have "
                u"been made for another Original: open it in "
                u"\"Mod update\" with the Original it was made for."});
  EXPECT_EQ(controller.paths().mod, folder.widePath("de.qm"));
  EXPECT_TRUE(enabled(CommandId::openFiles));
}

TEST_F(WindowControllerTest, ClosingAsksFirstAndKeepsTheFilesOnCancel) {
  openTraditional(kRows);
  controller.session().setModified(true);
  dialogs.answerNextMessage(MessageAnswer::cancel);
  EXPECT_TRUE(controller.run(CommandId::closeFiles));
  EXPECT_TRUE(controller.session().isOpen());
  dialogs.answerNextMessage(MessageAnswer::no);
  EXPECT_TRUE(controller.run(CommandId::closeFiles));
  EXPECT_FALSE(controller.session().isOpen());
  EXPECT_EQ(controller.focusRequest(), std::nullopt);  // delivered with its notification
  EXPECT_EQ(dialogs.messageTexts().size(), 2U);
}

TEST_F(WindowControllerTest, FindSelectsWrapsAndSaysWhatItCameTo) {
  openTraditional(kRows);
  controller.setFindText(u"open");
  EXPECT_EQ(controller.state().selectedRow, 0);
  EXPECT_EQ(controller.findResult(), FindResult::found);
  ASSERT_TRUE(controller.run(CommandId::findNext));
  EXPECT_EQ(controller.state().selectedRow, 2);
  ASSERT_TRUE(controller.run(CommandId::findNext));
  EXPECT_EQ(controller.state().selectedRow, 0);
  EXPECT_EQ(controller.findResult(), FindResult::wrapped);
  EXPECT_EQ(dialogs.calls().back().kind, DialogCall::Kind::beep);
  controller.setFindText(u"nowhere");
  EXPECT_EQ(controller.findResult(), FindResult::notFound);
  EXPECT_EQ(controller.state().selectedRow, 0);
}

TEST_F(WindowControllerTest, AFoundFileOpensInTraditionalWithTheSearchText) {
  openTraditional(kRows);
  controller.session().setModified(true);
  const std::u16string found = folder.write("fr.qm", buildQm({{7, u"Fermer", "Close", "Main"}}));
  dialogs.answerNextMessage(MessageAnswer::no);
  controller.openFoundFile(found, u"ferm");
  EXPECT_EQ(controller.paths().newOriginal, found);
  EXPECT_EQ(controller.paths().mod, folder.widePath("fr1.qm"));
  EXPECT_EQ(controller.findText(), u"ferm");
  EXPECT_EQ(controller.findResult(), FindResult::found);
  EXPECT_EQ(controller.session().rowOriginalText(0), u"Fermer");
}

}  // namespace
}  // namespace sorvane::test
