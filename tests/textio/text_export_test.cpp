#include "textio/text_export.h"

#include "platform/system_fault.h"
#include "session/session_fixture.h"
#include "textio/debug_strings.h"

#include <gmock/gmock.h>

#include <cerrno>

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

TEST_F(TextExportTest, DebugStringsNumberTheRowsWithoutMarkingTheSession) {
  std::vector<QmEntry> entries;
  for (std::uint32_t i = 0; i < 13; ++i) entries.push_back({i, u"text", "", ""});
  ASSERT_TRUE(openTraditional(writeQm("lang_en.qm", entries), u""));
  EXPECT_EQ(debugIdProposal(paths.newOriginal), u"lang_en");
  EXPECT_EQ(debugIdProposal(u"/a.b/noext"), u"noext");
  makeDebugStrings(session, u"lang_en");
  EXPECT_EQ(session.rowModText(0), u"lang_en0");
  EXPECT_EQ(session.rowModText(12), u"lang_en12");
  makeDebugStrings(session, u"");
  EXPECT_EQ(session.rowModText(12), u"12");
  // Through the 8-bit code page: a lone surrogate has no form there.
  makeDebugStrings(session, std::u16string(1, char16_t{0xD800}));
  EXPECT_EQ(session.rowModText(1), u"\uFFFD1");
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(session.undoLog().undoPos(), 0);
}

}  // namespace
}  // namespace sorvane::test
