#include "session/editing.h"

#include "session_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

class EditingTest : public SessionTest {
 protected:
  void openTraditionalRows(const std::vector<std::u16string>& originals) {
    std::vector<QmEntry> entries;
    std::uint32_t hash = 1;
    for (const std::u16string& text : originals) entries.push_back({hash++, text, "", ""});
    ASSERT_TRUE(openTraditional(writeQm("en.qm", entries), u""));
  }
  UndoLog& log() { return session.undoLog(); }
};

TEST(EditorForms, StoringRemovesEveryCr) { EXPECT_EQ(storedForm(u"a\r\nb\r\r\n\r"), u"a\nb\n"); }

TEST_F(EditingTest, ACommitStoresTheTextLogsTheOldOneAndMarksModified) {
  openTraditionalRows({u"Open", u"Close"});
  EXPECT_TRUE(commitEdit(session, 1, u"Zu", false));
  EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Zu"));
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(log().undoPos(), 1);
  EXPECT_EQ(log().line(1), u"1=Close");
  EXPECT_TRUE(log().canUndo());
  EXPECT_FALSE(log().canRedo());
}

TEST_F(EditingTest, AnUnchangedOrEmptyTraditionalCommitStoresNothing) {
  openTraditionalRows({u"Open", u"Close"});
  EXPECT_FALSE(commitEdit(session, 0, u"Open", false));
  EXPECT_FALSE(commitEdit(session, 0, u"", false));
  EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Close"));
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(log().undoPos(), 0);
}

TEST_F(EditingTest, AnEmptyModUpdateCommitRemovesTheModEntry) {
  const auto original = writeQm("new.qm", {{1, u"a", "", ""}, {2, u"b", "", ""}});
  ASSERT_TRUE(openModUpdate(original, original, u""));
  EXPECT_TRUE(commitEdit(session, 0, u"", true));
  EXPECT_EQ(session.mod().translations.count(), 1);
  EXPECT_TRUE(undo(session).has_value());
  EXPECT_THAT(modTexts(), ElementsAre(u"a", u"b"));
}

TEST_F(EditingTest, ChangeSameGivesTheTextToEveryRowWithTheSameOriginal) {
  openTraditionalRows({u"Open", u"open", u"Open", u"Close", u"Open"});
  commitEdit(session, 0, u"x", false);  // row 0 now differs from the others
  ASSERT_TRUE(commitEdit(session, 2, u"\u00D6ffnen", true));
  EXPECT_THAT(modTexts(),
              ElementsAre(u"\u00D6ffnen", u"open", u"\u00D6ffnen", u"Close", u"\u00D6ffnen"));
  // Undo restores the other rows first, in descending order, the edited row last.
  EXPECT_EQ(undo(session), 4);
  EXPECT_EQ(undo(session), 0);
  EXPECT_EQ(session.rowModText(0), u"x");
  EXPECT_EQ(undo(session), 2);
  EXPECT_THAT(modTexts(), ElementsAre(u"x", u"open", u"Open", u"Close", u"Open"));
}

TEST_F(EditingTest, ChangeSameSkipsPluralFormsTheOriginalLacksAndUndoRestoresThem) {
  // Two messages with two forms in the original and three in the Mod.
  const auto file = [](std::initializer_list<std::u16string> a,
                       std::initializer_list<std::u16string> b) {
    Bytes first, second;
    for (const auto& text : a) first = join({first, translationItem(text)});
    for (const auto& text : b) second = join({second, translationItem(text)});
    first = join({first, {0x01}});
    second = join({second, {0x01}});
    return assembleQm({.index = {{1, 0}, {2, static_cast<std::uint32_t>(first.size())}},
                       .messages = join({first, second})});
  };
  ASSERT_TRUE(openTraditional(folder.write("en.qm", file({u"a", u"as"}, {u"a", u"as"})),
                              folder.write("ru.qm", file({u"x", u"y", u"z"}, {u"x", u"y", u"z"}))));
  EXPECT_THAT(modTexts(), ElementsAre(u"x", u"y", u"z", u"x", u"y", u"z"));
  ASSERT_TRUE(commitEdit(session, 2, u"third", true));
  ASSERT_TRUE(commitEdit(session, 1, u"second", true));
  EXPECT_THAT(modTexts(), ElementsAre(u"x", u"second", u"third", u"x", u"second", u"z"));
  undo(session);
  undo(session);
  undo(session);
  EXPECT_THAT(modTexts(), ElementsAre(u"x", u"y", u"z", u"x", u"y", u"z"));
}

TEST_F(EditingTest, ChangeSameLeavesOtherRowsAloneInModUpdate) {
  const auto original = writeQm("new.qm", {{1, u"Open", "", ""}, {2, u"Open", "", ""}});
  ASSERT_TRUE(openModUpdate(original, original, u""));
  ASSERT_TRUE(commitEdit(session, 0, u"Auf", true));
  EXPECT_THAT(modTexts(), ElementsAre(u"Auf", u"Open"));
  EXPECT_EQ(log().undoPos(), 1);
}

TEST_F(EditingTest, UndoAndRedoWalkTheLogBothWays) {
  openTraditionalRows({u"a", u"b"});
  commitEdit(session, 0, u"A", false);
  commitEdit(session, 1, u"B", false);
  commitEdit(session, 0, u"AA", false);
  EXPECT_EQ(undo(session), 0);
  EXPECT_EQ(undo(session), 1);
  EXPECT_THAT(modTexts(), ElementsAre(u"A", u"b"));
  EXPECT_TRUE(log().canRedo());
  EXPECT_EQ(redo(session), 1);
  EXPECT_EQ(redo(session), 0);
  EXPECT_THAT(modTexts(), ElementsAre(u"AA", u"B"));
  EXPECT_FALSE(log().canRedo());
  EXPECT_FALSE(redo(session).has_value());
}

TEST_F(EditingTest, ANewEditAfterUndoDropsWhatCouldBeRedone) {
  openTraditionalRows({u"a", u"b"});
  commitEdit(session, 0, u"A", false);
  commitEdit(session, 1, u"B", false);
  undo(session);
  undo(session);
  commitEdit(session, 1, u"C", false);
  EXPECT_FALSE(log().canRedo());
  EXPECT_EQ(log().line(2), u"");
  EXPECT_EQ(undo(session), 1);
  EXPECT_FALSE(undo(session).has_value());
}

TEST_F(EditingTest, TextsWithEqualsSignsAndLineBreaksComeBackWhole) {
  openTraditionalRows({u"k=v\nsecond=line"});
  commitEdit(session, 0, u"new", false);
  EXPECT_EQ(log().line(1), u"0=k=v\nsecond=line");
  undo(session);
  EXPECT_EQ(session.rowModText(0), u"k=v\nsecond=line");
  redo(session);
  EXPECT_EQ(session.rowModText(0), u"new");
}

TEST_F(EditingTest, AtMost999ChangesCanBeUndone) {
  openTraditionalRows({u"start"});
  for (int i = 1; i <= 1000; ++i) {
    std::u16string text(2 + i / 10, u'.');
    text[0] = u'v';
    text[1] = static_cast<char16_t>(u'0' + i % 10);
    commitEdit(session, 0, text, false);
  }
  EXPECT_EQ(log().undoPos(), 999);
  int undone = 0;
  while (undo(session)) ++undone;
  EXPECT_EQ(undone, 999);
  // The first change is lost: the row keeps the text of the first change.
  EXPECT_EQ(session.rowModText(0), u"v1");
  EXPECT_EQ(log().line(0), u"0=start");
}

TEST_F(EditingTest, DeletingARowTextIsAnUndoableChange) {
  const auto original = writeQm("new.qm", {{1, u"a", "", ""}, {2, u"b", "", ""}});
  ASSERT_TRUE(openModUpdate(original, original, u""));
  EXPECT_TRUE(deleteRowText(session, 1));
  EXPECT_FALSE(deleteRowText(session, 1));
  EXPECT_EQ(log().undoPos(), 1);
  EXPECT_EQ(session.mod().translations.count(), 1);
  EXPECT_EQ(undo(session), 1);
  EXPECT_THAT(modTexts(), ElementsAre(u"a", u"b"));
}

TEST_F(EditingTest, ClosingTheSessionEmptiesTheLog) {
  openTraditionalRows({u"a"});
  commitEdit(session, 0, u"b", false);
  dialogs.answerNextMessage(MessageAnswer::no);
  ASSERT_TRUE(session.closeSession(paths, dialogs));
  EXPECT_EQ(log().undoPos(), 0);
  EXPECT_EQ(log().line(1), u"");
}

class CountingListener : public SessionListener {
 public:
  void rowTextsChanged() override { ++changes; }
  int changes = 0;
};

TEST_F(EditingTest, ChangeSameAnnouncesItsChangesOnce) {
  openTraditionalRows({u"x", u"x", u"x", u"y"});
  CountingListener listener;
  session.setListener(&listener);
  commitEdit(session, 0, u"z", true);
  EXPECT_EQ(listener.changes, 1);
  session.setListener(nullptr);
}

}  // namespace
}  // namespace sorvane::test
