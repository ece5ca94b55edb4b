#include "memory/session_memory.h"

#include "platform/utf8.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/session_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

class SessionMemoryTest : public SessionTest {
 protected:
  void SetUp() override {
    std::u16string error;
    memory = TranslationMemory::open(folder.widePath("memory.sqlite"), error, 100);
    ASSERT_TRUE(memory);
  }
  std::int32_t rowOf(std::u16string_view original) const {
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      if (session.rowOriginalText(row) == original) return row;
    }
    return -1;
  }
  std::unique_ptr<TranslationMemory> memory;
};

TEST_F(SessionMemoryTest, PretranslatesExactMatchesOfTheRowsContextFirstAsOneUndoableStep) {
  std::u16string error;
  ASSERT_TRUE(memory->add(
      std::vector<MemorySegment>{{u"Open", "en", u"Öffnen", "de", "Menu"},
                                 {u"Open", "en", u"Offen", "de", "State"},
                                 {u"Close", "en", u"Schließen", "de_DE", "Other"},
                                 {u"Close", "en", u"Закрыть", "ru", "Menu"},
                                 {u"Open the file", "en", u"Datei öffnen", "de", "Menu"}},
      u"memory", error));
  const std::vector<QmEntry> original = {qtEntry("Open", "Menu"), qtEntry("Open", "State"),
                                         qtEntry("Close", "Menu"), qtEntry("Open file", "Menu"),
                                         qtEntry("Help", "Menu")};
  std::vector<QmEntry> mod = original;
  mod[4].text = u"Hilfe";
  ASSERT_TRUE(openTraditional(folder.write("app_en.qm", buildQm(original, std::nullopt, "en")),
                              folder.write("app_de.qm", buildQm(mod, std::nullopt, "de"))));
  ASSERT_TRUE(writeModFile(session, {u"", u"", folder.widePath("before.qm")}, dialogs));

  const std::optional<std::vector<RowText>> texts =
      pretranslations(session, nullptr, *memory, error);
  ASSERT_TRUE(texts);
  EXPECT_EQ(storeRowTexts(session, *texts), 3);
  EXPECT_THAT(modTexts(), ElementsAre(u"Öffnen", u"Offen", u"Schließen", u"Open file", u"Hilfe"));

  // What a save teaches: the translated rows only.
  std::vector<std::string> learnt;
  for (const MemorySegment& s : sessionSegments(session)) {
    learnt.push_back(toUtf8(s.source) + ">" + toUtf8(s.target) + " " + s.sourceLanguage + ">" +
                     s.targetLanguage + " " + s.context);
  }
  EXPECT_THAT(learnt, ElementsAre("Open>Öffnen en>de Menu", "Open>Offen en>de State",
                                  "Close>Schließen en>de Menu", "Help>Hilfe en>de Menu"));

  ASSERT_TRUE(undo(session));
  ASSERT_TRUE(writeModFile(session, {u"", u"", folder.widePath("after.qm")}, dialogs));
  EXPECT_EQ(folder.read("after.qm"), folder.read("before.qm"));
}

TEST_F(SessionMemoryTest, AModWithoutALanguageIsNeitherPretranslatedNorLearnt) {
  std::u16string error;
  ASSERT_TRUE(memory->add(std::vector<MemorySegment>{{u"Open", "en", u"Öffnen", "de", "Menu"}},
                          u"memory", error));
  const std::vector<QmEntry> original = {qtEntry("Open", "Menu")};
  ASSERT_TRUE(openTraditional(folder.write("a.qm", buildQm(original)),
                              folder.write("b.qm", buildQm({qtEntry("Open", "Menu", u"Auf")}))));
  EXPECT_THAT(pretranslations(session, nullptr, *memory, error).value(), ElementsAre());
  EXPECT_THAT(sessionSegments(session), ElementsAre());
}

TEST_F(SessionMemoryTest, ARewordedStringOffersTheDroppedRowOfItsContext) {
  // Two versions of an application's original: a string reworded in each
  // of two contexts, one removed, one added, one left as it was.
  const std::vector<QmEntry> oldOriginal = {
      qtEntry("Open the selected file", "MainWindow"), qtEntry("Quit", "MainWindow"),
      qtEntry("Save all documents", "Editor"), qtEntry("Print preview", "Editor"),
      qtEntry("Save all documents", "Other")};
  const std::vector<QmEntry> newOriginal = {
      qtEntry("Open the selected files", "MainWindow"), qtEntry("Quit", "MainWindow"),
      qtEntry("Save all open documents", "Editor"), qtEntry("Export as PDF", "Editor"),
      qtEntry("Save open documents", "Another")};
  std::vector<QmEntry> mod = oldOriginal;
  mod[0].text = u"Die gewählte Datei öffnen";
  mod[1].text = u"Beenden";
  mod[2].text = u"Alle Dokumente speichern";
  mod[3].text = u"Druckvorschau";
  mod[4].text = u"Alles speichern";
  ASSERT_TRUE(openModUpdate(folder.write("old.qm", buildQm(oldOriginal, std::nullopt, "en")),
                            folder.write("new.qm", buildQm(newOriginal, std::nullopt, "en")),
                            folder.write("mod.qm", buildQm(mod, std::nullopt, "de"))));
  const RewordedIndex index(session);
  const std::int32_t files = rowOf(u"Open the selected files");
  const std::int32_t documents = rowOf(u"Save all open documents");
  ASSERT_EQ(session.rowState(files), RowState::newString);
  const std::vector<RewordedMatch> forFiles = index.matches(session, files);
  ASSERT_EQ(forFiles.size(), 1U);
  EXPECT_EQ(session.rowModText(forFiles[0].row), u"Die gewählte Datei öffnen");
  EXPECT_EQ(forFiles[0].score, 95);
  const std::vector<RewordedMatch> forDocuments = index.matches(session, documents);
  ASSERT_EQ(forDocuments.size(), 1U);
  EXPECT_EQ(session.rowModText(forDocuments[0].row), u"Alle Dokumente speichern");
  // Not across contexts, not for an unlike text, not for a row that isn't new.
  EXPECT_THAT(index.matches(session, rowOf(u"Save open documents")), ElementsAre());
  EXPECT_THAT(index.matches(session, rowOf(u"Export as PDF")), ElementsAre());
  EXPECT_THAT(index.matches(session, rowOf(u"Quit")), ElementsAre());

  const std::vector<RewordedMatch> best = bestRewordedMatches(session);
  std::int32_t similar = 0;
  for (const RewordedMatch& match : best) similar += match.row >= 0 ? 1 : 0;
  EXPECT_EQ(similar, 2);
  EXPECT_EQ(best[static_cast<std::size_t>(files)].row, forFiles[0].row);

  // A dropped row emptied since is offered no more.
  ASSERT_TRUE(deleteRowText(session, forFiles[0].row));
  EXPECT_THAT(index.matches(session, files), ElementsAre());
}

}  // namespace
}  // namespace sorvane::test
