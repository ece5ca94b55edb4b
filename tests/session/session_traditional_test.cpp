#include "session_fixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<QmEntry> kOriginal = {
    {0x11, u"Open", "Open", "MainWindow"},
    {0x22, u"Close", "Close", "MainWindow"},
    {0x33, u"Open", "Open", "Dialog"},
};

TEST_F(SessionTest, TraditionalPairsRowsByPosition) {
  const auto original = writeQm("en.qm", kOriginal, Bytes{1, 2, 3});
  const auto mod = writeQm(
      "de.qm",
      {{0x11, u"\u00D6ffnen", "", ""}, {0x99, u"Schlie\u00DFen", "x", "y"}, {0x33, u"", "", ""}});
  ASSERT_TRUE(openTraditional(original, mod));
  EXPECT_TRUE(session.isOpen());
  EXPECT_EQ(session.rowCount(), 3);
  EXPECT_EQ(session.rowOriginalText(1), u"Close");
  EXPECT_EQ(session.rowModText(1), u"Schlie\u00DFen");
  EXPECT_EQ(session.rowOldOriginalText(1), u"");
  EXPECT_EQ(session.rowSectionText(2), "Open");
  EXPECT_EQ(session.rowSubsectionText(2), "Dialog");
  EXPECT_EQ(session.rowState(0), RowState::unchanged);
  EXPECT_THAT(session.newOriginal().contextTable, ElementsAre(1, 2, 3));
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(paths.mod, mod);
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(SessionTest, AnEmptyModBoxStartsFromACopyUnderAFreeName) {
  const auto original = writeQm("de.qm", kOriginal);
  folder.write("de1.qm", {});
  ASSERT_TRUE(openTraditional(original, u""));
  EXPECT_EQ(paths.mod, folder.widePath("de2.qm"));
  EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Close", u"Open"));
  EXPECT_EQ(session.mod().hashes, session.newOriginal().hashes);
  EXPECT_TRUE(session.mod().contextTable.empty());
}

TEST_F(SessionTest, AModPathNamingNoFileStartsFromACopyAndKeepsTheName) {
  const auto original = writeQm("en.qm", kOriginal);
  const auto mod = folder.widePath("new/fr.qm");
  ASSERT_TRUE(openTraditional(original, mod));
  EXPECT_EQ(paths.mod, mod);
  EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Close", u"Open"));
}

// A file named as both gives the Mod a copy of its own: editing it leaves the
// Original as it was, whatever name the Mod goes by.
TEST_F(SessionTest, AModNamedAsItsOwnOriginalIsACopyOfIt) {
  const auto original = writeQm("de.qm", kOriginal, Bytes{1, 2, 3});
  std::filesystem::create_symlink(folder.path("de.qm"), folder.path("link.qm"));
  for (const std::u16string& mod : {original, folder.widePath("link.qm")}) {
    ASSERT_TRUE(openTraditional(original, mod));
    EXPECT_EQ(paths.mod, mod);
    EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Close", u"Open"));
    EXPECT_EQ(session.mod().hashes, session.newOriginal().hashes);
    EXPECT_EQ(session.mod().subsectionTexts.view(2), "Dialog");
    EXPECT_TRUE(session.mod().contextTable.empty());
    EXPECT_THAT(session.newOriginal().contextTable, ElementsAre(1, 2, 3));
    session.setRowModText(1, u"Zu");
    EXPECT_EQ(session.rowModText(1), u"Zu");
    EXPECT_EQ(session.rowOriginalText(1), u"Close");
    EXPECT_EQ(session.newOriginal().translations.view(1), u"Close");
    EXPECT_THAT(dialogs.calls(), IsEmpty());
  }
}

TEST_F(SessionTest, DifferentEntryCountsAreRefusedWithBothCounts) {
  std::vector<QmEntry> original(120, QmEntry{1, u"a", "", ""});
  std::vector<QmEntry> mod(121, QmEntry{1, u"b", "", ""});
  ASSERT_FALSE(openTraditional(writeQm("en.qm", original), writeQm("de.qm", mod)));
  ASSERT_EQ(dialogs.calls().size(), 1U);
  EXPECT_EQ(dialogs.calls()[0].text,
            u"Different strings count in Original and Mod files. (120 : 121)\r\nThis Mod may have "
            u"been made for another Original: open it in "
            u"\"Mod update\" with the Original it was made for.");
  EXPECT_EQ(dialogs.calls()[0].icon, MessageIcon::error);
  EXPECT_EQ(dialogs.calls()[0].caption, std::nullopt);
  expectNothingLoaded();
}

TEST_F(SessionTest, AnUnreadableFileLeavesNothingLoadedAndKeepsThePaths) {
  const auto original = writeQm("en.qm", kOriginal, Bytes{1});
  const auto broken = folder.write("broken.qm", Bytes(30, 0));
  ASSERT_FALSE(openTraditional(original, broken));
  EXPECT_THAT(dialogs.messageTexts(), ElementsAre(u"Invalid header in \"" + broken + u"\""));
  expectNothingLoaded();
  EXPECT_EQ(paths.mod, broken);

  dialogs.clear();
  ASSERT_FALSE(openTraditional(folder.widePath("missing.qm"), u""));
  EXPECT_EQ(dialogs.messageTexts().size(), 1U);
  EXPECT_EQ(paths.mod, u"");
  expectNothingLoaded();
}

TEST_F(SessionTest, SettingAModTextInTraditionalReplacesTheEntry) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", kOriginal), u""));
  session.setRowModText(1, u"Zu");
  session.setRowModText(2, u"");
  EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Zu", u""));
  EXPECT_EQ(session.mod().translations.count(), 3);
  EXPECT_FALSE(session.modified());
}

class RecordingListener : public SessionListener {
 public:
  void rowsAboutToReset() override { events.push_back("resetting"); }
  void rowsReset() override { events.push_back("rows"); }
  void rowTextsChanged() override { events.push_back("texts"); }
  void undoLogCleared() override { events.push_back("undo cleared"); }
  std::vector<std::string> events;
};

TEST_F(SessionTest, TheListenerHearsOfOpeningStoringAndClosing) {
  RecordingListener listener;
  session.setListener(&listener);
  ASSERT_TRUE(openTraditional(writeQm("en.qm", kOriginal), u""));
  session.setRowModText(0, u"x");
  ASSERT_TRUE(session.closeSession(paths, dialogs));
  EXPECT_THAT(listener.events, ElementsAre("resetting", "rows", "resetting", "rows", "texts",
                                           "undo cleared", "resetting", "rows"));
  expectNothingLoaded();
}

TEST_F(SessionTest, CloseAsksBeforeDroppingChanges) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", kOriginal), u""));
  session.setRowModText(0, u"x");
  session.setModified(true);

  dialogs.answerNextMessage(MessageAnswer::cancel);
  EXPECT_FALSE(session.closeSession(paths, dialogs));
  EXPECT_TRUE(session.isOpen());
  EXPECT_TRUE(session.modified());

  dialogs.answerNextMessage(MessageAnswer::no);
  EXPECT_TRUE(session.closeSession(paths, dialogs));
  EXPECT_FALSE(session.isOpen());
  EXPECT_EQ(dialogs.messageTexts().size(), 2U);
}

}  // namespace
}  // namespace sorvane::test
