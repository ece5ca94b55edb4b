#include "session/row_problems.h"

#include "session/session_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RowProblemsTest : public SessionTest {
 protected:
  std::vector<CheckKind> checksOf(std::int32_t row) const {
    std::vector<CheckKind> kinds;
    for (const Problem& problem : problems.problemsOf(row)) kinds.push_back(problem.check);
    return kinds;
  }

  void store(std::int32_t row, std::u16string_view text) {
    session.setRowModText(row, text);
    problems.recheckRow(session, row);
  }

  RowProblems problems;
};

TEST_F(RowProblemsTest, AcceleratorsClashOnlyWithinAContextAndRechecksFollowEdits) {
  const auto original = writeQm("en.qm", {{1, u"&Open", "Open", "Menu"},
                                          {2, u"&Close", "Close", "Menu"},
                                          {3, u"&Data", "Data", "Other"},
                                          {4, u"File:", "File", "Other"},
                                          {5, u"&Edit", "Edit", ""}});
  const auto mod = writeQm("de.qm", {{1, u"&Datei", "Open", "Menu"},
                                     {2, u"&Dicht", "Close", "Menu"},
                                     {3, u"&Daten", "Data", "Other"},
                                     {4, u"Datei", "File", "Other"},
                                     {5, u"&Edit", "Edit", ""}});
  ASSERT_TRUE(openTraditional(original, mod));
  problems.checkAll(session);
  EXPECT_THAT(checksOf(0), ElementsAre(CheckKind::acceleratorClash));
  EXPECT_NE(problems.problemsOf(0)[0].message.find(u"row 1"), std::u16string::npos);
  EXPECT_THAT(checksOf(1), ElementsAre(CheckKind::acceleratorClash));
  EXPECT_THAT(checksOf(2), IsEmpty());
  EXPECT_THAT(checksOf(3), ElementsAre(CheckKind::punctuation));
  EXPECT_EQ(problems.rowsWithProblems(), 3);
  EXPECT_EQ(problems.nextRow(-1, false), 0);
  EXPECT_EQ(problems.nextRow(1, false), 3);
  EXPECT_EQ(problems.nextRow(3, false), 0);
  EXPECT_EQ(problems.nextRow(0, true), 3);

  // Another letter ends the clash for both rows.
  store(1, u"&Schließen");
  EXPECT_THAT(checksOf(0), IsEmpty());
  EXPECT_THAT(checksOf(1), IsEmpty());
  store(3, u"Datei:");
  EXPECT_EQ(problems.rowsWithProblems(), 0);
  EXPECT_EQ(problems.nextRow(0, false), std::nullopt);
  // And the same letter brings it back.
  store(1, u"&Dicht");
  EXPECT_EQ(problems.rowsWithProblems(), 2);
}

// Records in Qt's shape: the translation, the source text, the context and
// Qt's end tag, found by the hash of source text and comment.
Bytes qtRecord(std::u16string_view text, std::string_view source, std::string_view context) {
  return join(
      {translationItem(text), byteTextItem(0x06, source), byteTextItem(0x07, context), {0x01}});
}

TEST_F(RowProblemsTest, EntriesQtNeverFindsAreLookupProblems) {
  const std::uint32_t open = qtMessageHash("Open", "");
  const std::uint32_t close = qtMessageHash("Close", "");
  const Bytes first = qtRecord(u"Öffnen", "Open", "Main");
  const Bytes second = qtRecord(u"Aufmachen", "Open", "Main");
  const Bytes third = qtRecord(u"Schließen", "Close", "Main");
  const auto at = [](std::size_t offset) { return static_cast<std::uint32_t>(offset); };
  // Sorted by hash as Qt's index is; the third's hash is off by one.
  std::vector<QmIndexEntry> index = {
      {open, 0}, {open, at(first.size())}, {close + 1, at(first.size() + second.size())}};
  std::sort(index.begin(), index.end(), [](const QmIndexEntry& left, const QmIndexEntry& right) {
    return left.hash < right.hash;
  });
  const auto mod =
      folder.write("de.qm", assembleQm({.index = index, .messages = join({first, second, third})}));
  ASSERT_TRUE(openTraditional(mod, mod));
  ASSERT_TRUE(session.mod().qtRecords);
  problems.checkAll(session);
  std::vector<std::vector<CheckKind>> checks;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) checks.push_back(checksOf(row));
  std::sort(checks.begin(), checks.end());
  EXPECT_THAT(checks, ElementsAre(IsEmpty(), ElementsAre(CheckKind::lookup),
                                  ElementsAre(CheckKind::lookup)));
}

}  // namespace
}  // namespace sorvane::test
