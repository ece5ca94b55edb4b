#include "session/match_key.h"
#include "session_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

class ModUpdateTest : public SessionTest {
 protected:
  void openThree() {
    const auto oldOriginal = writeQm("old.qm", {{1, u"Hello", "Hello", "Main"},
                                                {2, u"Same", "Same", "Main"},
                                                {4, u"Dropped", "Dropped", "Main"},
                                                {6, u"Old only", "", ""}});
    const auto newOriginal = writeQm("new.qm", {{1, u"Hello!", "Hello", "Main"},
                                                {2, u"Same", "Same", "Main"},
                                                {3, u"Fresh", "Fresh", "Main"}});
    const auto mod = writeQm("mod.qm", {{1, u"Hallo", "Hello", "Main"},
                                        {2, u"Gleich", "Same", "Main"},
                                        {4, u"Weg", "Dropped", "Main"},
                                        {5, u"Nur Mod", "Mine", "X"}});
    ASSERT_TRUE(openModUpdate(oldOriginal, newOriginal, mod));
  }
};

TEST_F(ModUpdateTest, RowsAreTheNewEntriesThenOldOnlyThenModOnlyKeys) {
  openThree();
  ASSERT_EQ(session.rowCount(), 6);
  EXPECT_EQ(rowKey(0), "00000001HelloMain");
  EXPECT_EQ(rowKey(3), "00000004DroppedMain");
  EXPECT_EQ(rowKey(4), "00000006");
  EXPECT_EQ(rowKey(5), "00000005MineX");
  EXPECT_THAT(modTexts(), ElementsAre(u"Hallo", u"Gleich", u"", u"Weg", u"", u"Nur Mod"));
  EXPECT_EQ(session.rowOldOriginalText(0), u"Hello");
  EXPECT_EQ(session.rowOriginalText(0), u"Hello!");
  EXPECT_EQ(session.rowOldOriginalText(3), u"Dropped");
  EXPECT_EQ(session.rowOriginalText(3), u"");
  EXPECT_EQ(session.newOriginal().translations.count(), 3);
  EXPECT_EQ(session.oldOriginal().translations.count(), 4);
  EXPECT_EQ(session.mod().translations.count(), 4);
}

TEST_F(ModUpdateTest, SectionLabelsComeFromTheFileThatHoldsTheString) {
  openThree();
  EXPECT_EQ(session.rowSectionText(2), "Fresh");
  EXPECT_EQ(session.rowSubsectionText(2), "Main");
  EXPECT_EQ(session.rowSectionText(3), "Dropped");
  EXPECT_EQ(session.rowSectionText(5), "Mine");
  EXPECT_EQ(session.rowSubsectionText(5), "X");
}

TEST_F(ModUpdateTest, RowStatesFollowTheFirstRuleThatHolds) {
  openThree();
  EXPECT_EQ(session.rowState(0), RowState::changed);
  EXPECT_EQ(session.rowState(1), RowState::unchanged);
  EXPECT_EQ(session.rowState(2), RowState::newString);
  EXPECT_EQ(session.rowState(3), RowState::dropped);
  EXPECT_EQ(session.rowState(4), RowState::unchanged);  // only in the old original
  EXPECT_EQ(session.rowState(5), RowState::onlyInMod);
}

TEST_F(ModUpdateTest, AKeyTwiceInTheNewOriginalGivesTwoRowsOfTheFirstEntry) {
  const auto original = writeQm("new.qm", {{7, u"first", "s", ""}, {7, u"second", "s", ""}});
  const auto mod = writeQm("mod.qm", {{7, u"erste", "s", ""}, {7, u"zweite", "s", ""}});
  ASSERT_TRUE(openModUpdate(original, original, mod));
  ASSERT_EQ(session.rowCount(), 2);
  EXPECT_EQ(session.rowOriginalText(1), u"first");
  EXPECT_THAT(modTexts(), ElementsAre(u"erste", u"erste"));
  EXPECT_EQ(session.rowSectionText(1), "s");
}

TEST_F(ModUpdateTest, KeysWithLineBreakBytesStayWhole) {
  const auto original = writeQm("new.qm", {{1, u"a", "line\r\nbreak", "x\ry"}});
  ASSERT_TRUE(openModUpdate(original, original, u""));
  ASSERT_EQ(session.rowCount(), 1);
  EXPECT_EQ(rowKey(0), "00000001line\r\nbreakx\ry");
  EXPECT_EQ(session.rowModText(0), u"a");
}

TEST_F(ModUpdateTest, AnEmptyModBoxCopiesTheNewOriginal) {
  const auto oldOriginal = writeQm("old.qm", {{1, u"Hello", "", ""}, {9, u"Gone", "", ""}});
  const auto newOriginal = writeQm("new.qm", {{1, u"Hello!", "", ""}, {3, u"Fresh", "", ""}});
  ASSERT_TRUE(openModUpdate(oldOriginal, newOriginal, u""));
  EXPECT_EQ(paths.mod, folder.widePath("new1.qm"));
  EXPECT_THAT(modTexts(), ElementsAre(u"Hello!", u"Fresh", u""));
}

TEST_F(ModUpdateTest, StoringAModTextCoversItsFourCases) {
  openThree();
  // No Mod entry, empty text: nothing changes.
  session.setRowModText(2, u"");
  EXPECT_EQ(session.mod().translations.count(), 4);
  // No Mod entry, a text: an entry with the new original's hash and texts is appended.
  session.setRowModText(2, u"Frisch");
  ASSERT_EQ(session.mod().translations.count(), 5);
  EXPECT_EQ(modKey(4), "00000003FreshMain");
  EXPECT_EQ(session.mod().hashes[4], 3U);
  EXPECT_EQ(session.mod().sectionTexts.get(4), "Fresh");
  EXPECT_EQ(session.mod().subsectionTexts.get(4), "Main");
  EXPECT_EQ(session.rowModText(2), u"Frisch");
  EXPECT_EQ(session.rowState(2), RowState::unchanged);
  // A Mod entry and a text: replaced in place.
  session.setRowModText(0, u"Hallo!");
  EXPECT_EQ(session.mod().translations.get(0), u"Hallo!");
  // A Mod entry and an empty text: the entry goes; later entries move up.
  session.setRowModText(1, u"");
  EXPECT_EQ(session.mod().translations.count(), 4);
  EXPECT_EQ(session.mod().translations.count(), 4);
  EXPECT_THAT(modTexts(), ElementsAre(u"Hallo!", u"", u"Frisch", u"Weg", u"", u"Nur Mod"));
  EXPECT_EQ(session.mod().hashes, (std::vector<std::uint32_t>{1, 4, 5, 3}));
  // In both originals with equal texts: nothing to do, Mod entry or not.
  EXPECT_EQ(session.rowState(1), RowState::unchanged);
}

TEST_F(ModUpdateTest, AnOldOnlyKeyTakesTheOldOriginalsData) {
  openThree();
  session.setRowModText(4, u"Nur alt");
  EXPECT_EQ(session.mod().hashes.back(), 6U);
  EXPECT_EQ(modKey(4), "00000006");
}

TEST_F(ModUpdateTest, RemovingAnEntryFindsTheNextOneWithTheSameKey) {
  const auto original = writeQm("new.qm", {{1, u"a", "", ""}, {2, u"b", "", ""}});
  const auto mod = writeQm("mod.qm", {{1, u"x", "", ""}, {2, u"y", "", ""}, {1, u"z", "", ""}});
  ASSERT_TRUE(openModUpdate(original, original, mod));
  EXPECT_THAT(modTexts(), ElementsAre(u"x", u"y"));
  session.setRowModText(0, u"");
  EXPECT_THAT(modTexts(), ElementsAre(u"z", u"y"));
  session.setRowModText(0, u"");
  EXPECT_THAT(modTexts(), ElementsAre(u"", u"y"));
  session.setRowModText(0, u"again");
  EXPECT_THAT(modTexts(), ElementsAre(u"again", u"y"));
  EXPECT_EQ(session.mod().translations.count(), 2);
}

TEST_F(ModUpdateTest, AModOnlyEntryRemovedAndStoredAgainKeepsItsHashAndTexts) {
  openThree();
  session.setRowModText(5, u"");
  EXPECT_EQ(session.rowModText(5), u"");
  session.setRowModText(5, u"Wieder");
  EXPECT_EQ(session.mod().hashes.back(), 5U);
  EXPECT_EQ(session.mod().sectionTexts.get(3), "Mine");
  EXPECT_EQ(session.mod().subsectionTexts.get(3), "X");
  EXPECT_EQ(matchKey(5, "Mine", "X"), modKey(3));
}

TEST_F(ModUpdateTest, AnUnreadableOldOriginalLeavesNothingLoaded) {
  const auto newOriginal = writeQm("new.qm", {{1, u"a", "", ""}}, Bytes{1});
  ASSERT_FALSE(openModUpdate(folder.widePath("missing.qm"), newOriginal, u""));
  EXPECT_THAT(dialogs.messageTexts(),
              ElementsAre(u"Error opening \"" + folder.widePath("missing.qm") +
                          u"\"\r\nNo such file or directory"));
  expectNothingLoaded();
  EXPECT_EQ(paths.mod, folder.widePath("new1.qm"));
}

TEST(MatchKey, IsTheHashInUpperCaseHexFollowedByBothTexts) {
  EXPECT_EQ(matchKey(0x1A2B, "sec", "sub"), "00001A2Bsecsub");
  EXPECT_EQ(matchKey(0xFFFFFFFF, "", ""), "FFFFFFFF");
}

TEST(MatchKey, SortsCaseFoldedWithPrefixesFirst) {
  EXPECT_TRUE(caseFoldedKeyLess("0000000Ab", "0000000aC"));
  EXPECT_FALSE(caseFoldedKeyLess("0000000aC", "0000000Ab"));
  EXPECT_FALSE(caseFoldedKeyLess("ABC", "abc"));
  EXPECT_TRUE(caseFoldedKeyLess("abc", "abcd"));
  EXPECT_TRUE(caseFoldedKeyLess("0000000F", "00000010"));
  // Only A to Z fold: '_' (0x5F) sorts before 'a' but after 'Z' would.
  EXPECT_TRUE(caseFoldedKeyLess("_", "Z"));
  EXPECT_TRUE(caseFoldedKeyLess("\x7F", "\x80"));
}

}  // namespace
}  // namespace sorvane::test
