#include "textio/text_export.h"

#include "platform/path_codec.h"
#include "session/mod_file_saving.h"
#include "session/session_fixture.h"
#include "support/scoped_environment.h"
#include "support/system_faults.h"
#include "textio/debug_strings.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

Bytes exportBytes(std::u16string_view lines) { return join({{0xFF, 0xFE}, utf16Le(lines)}); }

class TextExportTest : public SessionTest {
 protected:
  bool import(const Bytes& file) {
    return importTextFile(session, folder.write("in.txt", file), dialogs, imported);
  }
  WideStringList imported;
};

TEST_F(TextExportTest, ExportWritesEveryModTextAndImportBringsEditedLinesBack) {
  ASSERT_TRUE(
      openTraditional(writeQm("en.qm", {{1, u"Open", "", ""}, {2, u"two\nlines", "", ""}}), u""));
  const std::u16string path = folder.widePath("mod.txt");
  ASSERT_EQ(writeExportFile(session.mod(), path), 0);
  EXPECT_EQ(folder.read("mod.txt"), exportBytes(u"Open\r\ntwo\nlines\r\n"));

  // The last line may lack its CR LF.
  ASSERT_TRUE(import(exportBytes(u"\u00D6ffnen\r\nzwei\nZeilen")));
  EXPECT_THAT(modTexts(), ElementsAre(u"\u00D6ffnen", u"zwei\nZeilen"));
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(session.undoLog().undoPos(), 0);
  EXPECT_EQ(imported.count(), 2);
}

TEST_F(TextExportTest, EveryImportFailureSaysWhyAndChangesNothing) {
  ASSERT_TRUE(
      openTraditional(writeQm("en.qm", {{1, u"Open", "", ""}, {2, u"Close", "", ""}}), u""));
  const std::u16string in = folder.widePath("in.txt");
  struct Case {
    Bytes file;
    std::u16string message;
  };
  const Case cases[] = {
      {bytesOf("Open\nClose\n"), u"Wrong header in file \"" + in + u"\""},
      {{0xFF}, u"Wrong header in file \"" + in + u"\""},
      {join({exportBytes(u"Open\r\n"), {0x41}}),
       u"Wide strings streams must be of even length in bytes."},
      // An editor that turned a text's lone LF into CR LF adds a line.
      {exportBytes(u"Open\r\nCl\r\nose\r\n"),
       u"File to import have different strings count than opened file. (3 : 2)"},
      {exportBytes(u"Open\r\n"),
       u"File to import have different strings count than opened file. (1 : 2)"},
  };
  for (const Case& c : cases) {
    dialogs.clear();
    EXPECT_FALSE(import(c.file));
    EXPECT_THAT(dialogs.messageTexts(), ElementsAre(c.message));
    EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"Close"));
    EXPECT_FALSE(session.modified());
  }
  dialogs.clear();
  EXPECT_FALSE(importTextFile(session, folder.widePath("missing.txt"), dialogs, imported));
  EXPECT_THAT(dialogs.messageTexts(),
              ElementsAre(u"Error opening \"" + folder.widePath("missing.txt") +
                          u"\"\r\nNo such file or directory"));
}

TEST_F(TextExportTest, AFailedExportLeavesTheOldFileWhole) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"Open", "", ""}}), u""));
  const Bytes old = {1, 2, 3};
  const std::u16string path = folder.write("mod.txt", old);
  for (const SystemCall call : {SystemCall::create, SystemCall::write, SystemCall::flush}) {
    const ScopedSystemFault fault(call, ENOSPC);
    EXPECT_EQ(writeExportFile(session.mod(), path), ENOSPC);
    EXPECT_EQ(folder.read("mod.txt"), old);
  }
  EXPECT_EQ(writeExportFile(session.mod(), u""), ENOENT);
  reportExportError(dialogs, u"", ENOENT);
  EXPECT_THAT(dialogs.messageTexts(),
              ElementsAre(u"Error exporting to \"\"\r\nNo such file or directory"));
}

TEST_F(TextExportTest, InModUpdateTheLinesFollowTheModEntries) {
  const std::u16string old = writeQm("old.qm", {{1, u"One", "", ""}, {2, u"Two", "", ""}});
  const std::u16string fresh = writeQm("new.qm", {{3, u"Three", "", ""}, {1, u"One", "", ""}});
  const std::u16string mod = writeQm("mod.qm", {{2, u"Zwei", "", ""}, {1, u"Eins", "", ""}});
  ASSERT_TRUE(openModUpdate(old, fresh, mod));
  ASSERT_EQ(writeExportFile(session.mod(), folder.widePath("mod.txt")), 0);
  EXPECT_EQ(folder.read("mod.txt"), exportBytes(u"Zwei\r\nEins\r\n"));
  ASSERT_TRUE(import(exportBytes(u"Zwo\r\nEins!\r\n")));
  EXPECT_EQ(session.mod().translations.get(0), u"Zwo");
  EXPECT_EQ(session.mod().translations.get(1), u"Eins!");
}

TEST_F(TextExportTest, DefaultNamesAreFree) {
  folder.write("mod.txt", {});
  folder.write("lang7.txt", {});
  EXPECT_EQ(defaultExportFileName(folder.widePath("mod.qm")), folder.widePath("mod1.txt"));
  EXPECT_EQ(defaultExportFileName(folder.widePath("lang7")), folder.widePath("lang8.txt"));
  EXPECT_EQ(defaultExportFileName(folder.widePath("new.qm")), folder.widePath("new.txt"));
}

TEST_F(TextExportTest, TheDebugTranslationIsAFileOfItsOwn) {
  std::vector<QmEntry> entries;
  for (std::uint32_t i = 0; i < 13; ++i) entries.push_back({i, u"text", "", ""});
  ASSERT_TRUE(openTraditional(writeQm("lang_en.qm", entries), u""));
  EXPECT_EQ(debugIdProposal(paths.newOriginal), u"lang_en");
  EXPECT_EQ(debugIdProposal(u"/a.b/noext"), u"noext");
  EXPECT_EQ(debugFileProposal(u"/a/de.qm"), u"/a/de_debug.qm");
  session.setRowModText(3, u"unsaved edit");
  session.setModified(true);

  const QmDocument debug = debugDocument(session, u"lang_en");
  EXPECT_EQ(debug.translations.get(0), u"lang_en0");
  EXPECT_EQ(debug.translations.get(12), u"lang_en12");
  EXPECT_EQ(debugDocument(session, u"").translations.get(12), u"12");
  // Through the 8-bit code page: a lone surrogate has no form there.
  EXPECT_EQ(debugDocument(session, std::u16string(1, char16_t{0xD800})).translations.get(1),
            u"\uFFFD1");
  const std::u16string out = folder.widePath("lang_en_debug.qm");
  ASSERT_TRUE(writeDocumentFile(session, debug, out, paths, dialogs));
  EXPECT_EQ(readBack("lang_en_debug.qm").translations.get(5), u"lang_en5");
  // The session keeps its texts, its modified flag and its undo log.
  EXPECT_EQ(session.rowModText(3), u"unsaved edit");
  EXPECT_EQ(session.rowModText(4), u"text");
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(session.undoLog().undoPos(), 0);
}

TEST_F(TextExportTest, ImportStoresLineIForTextIOrSaysWhyNot) {
  // Four texts: an empty one before a multi-line one, as editors break them.
  const std::u16string mod = writeQm(
      "en.qm", {{1, u"Open", "", ""}, {2, u"", "", ""}, {3, u"a\nb", "", ""}, {4, u"End", "", ""}});
  ASSERT_TRUE(openTraditional(mod, u""));
  const std::u16string_view lfOnly =
      u"The file's line ends were changed to LF only: its lines can't be told from line breaks "
      u"inside texts\r\n";
  const std::u16string_view crOnly =
      u"The file's line ends were changed to CR only: its lines can't be told from line breaks "
      u"inside texts";
  const std::u16string_view someCr =
      u"Some of the file's line ends were changed to CR only: its lines can't be told from line "
      u"breaks inside texts";
  const std::u16string_view count =
      u"File to import have different strings count than opened file. ";
  const struct Case {
    std::u16string file;
    std::vector<std::u16string> stored;  // empty: refused with message
    std::u16string message;
  } cases[] = {
      {u"O\r\n\r\nx\ny\r\nE\r\n", {u"O", u"", u"x\ny", u"E"}, u""},
      // A U+0000 cuts its line, as the QM reader cuts a text; it adds none.
      {std::u16string(u"O\r\nnul\0cut\r\nx\ny\r\nE", 18), {u"O", u"nul", u"x\ny", u"E"}, u""},
      {u"O\n\nx\ny\nE\n", {}, std::u16string(lfOnly) + std::u16string(count) + u"(1 : 4)"},
      // CR alone would put "x" on the empty text and "y" on the multi-line one.
      {u"O\r\rx\ry\r", {}, std::u16string(crOnly)},
      {u"O\r\rx\ry\rE\r",
       {},
       std::u16string(crOnly) + u"\r\n" + std::u16string(count) + u"(5 : 4)"},
      {u"O\r\r\nx\ny\r\nE\r\n", {}, std::u16string(someCr)},
      {u"O\r\n\r\nx\r\ny\r\nE\r\n", {}, std::u16string(count) + u"(5 : 4)"},
  };
  for (const Case& c : cases) {
    dialogs.clear();
    ASSERT_TRUE(openTraditional(mod, u""));
    const bool accepted = import(exportBytes(c.file));
    EXPECT_EQ(accepted, !c.stored.empty()) << nativePath(c.file);
    EXPECT_EQ(session.mod().translations.count(), 4);
    if (accepted) {
      EXPECT_EQ(modTexts(), c.stored);
      EXPECT_TRUE(dialogs.calls().empty());
    } else {
      EXPECT_THAT(dialogs.messageTexts(), ElementsAre(c.message));
      EXPECT_THAT(modTexts(), ElementsAre(u"Open", u"", u"a\nb", u"End"));
    }
  }
}

TEST_F(TextExportTest, SideFilesGoToTheStateFolderAndReplaceLinksThere) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"Open", "", ""}}), u""));
  ASSERT_TRUE(import(exportBytes(u"Auf\r\n")));
  std::filesystem::create_directories(folder.path("state/sorvane"));
  const std::u16string mine = folder.write("mine.txt", {1, 2, 3});
  std::filesystem::create_symlink(folder.path("mine.txt"), folder.path("state/sorvane/debug.txt"));
  {
    const ScopedEnvironment state("XDG_STATE_HOME", folder.path("state"));
    EXPECT_EQ(importSideFilesFolder(), folder.widePath("state/sorvane"));
    writeImportSideFiles(imported, session.mod(), folder.widePath("in.txt"));
  }
  EXPECT_EQ(folder.read("mine.txt"), Bytes({1, 2, 3}));
  EXPECT_FALSE(std::filesystem::is_symlink(folder.path("state/sorvane/debug.txt")));
  EXPECT_EQ(folder.read("state/sorvane/debug.txt"), utf16Le(u"Auf\r\n"));
  EXPECT_EQ(folder.read("state/sorvane/debug1.txt"), utf16Le(u"Auf\r\n"));
  // A side file that was itself imported stays as it is.
  folder.write("state/sorvane/debug1.txt", {4, 5});
  {
    const ScopedEnvironment state("XDG_STATE_HOME", folder.path("state"));
    writeImportSideFiles(imported, session.mod(), folder.widePath("state/sorvane/debug1.txt"));
  }
  EXPECT_EQ(folder.read("state/sorvane/debug1.txt"), Bytes({4, 5}));
}

}  // namespace
}  // namespace sorvane::test
