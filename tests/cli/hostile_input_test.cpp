#include "cli/dump_command.h"
#include "platform/path_codec.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session_fixture.h"
#include "support/child_process.h"
#include "support/system_faults.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

// Inputs that are odd or hostile: paths that can't be checked, files whose
// index makes a small file claim huge memory, names that are not UTF-8.

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

std::u16string openError(std::u16string_view path, std::u16string_view reason) {
  return u"Error opening \"" + std::u16string(path) + u"\"\r\n" + std::u16string(reason);
}

// A file of count index entries that all point at one record whose text,
// or section text, is 64 KiB: tiny on disk, a gigabyte when copied per entry.
Bytes amplificationFile(std::uint32_t count, bool hugeSection) {
  const std::u16string bigText(32768, u'x');
  const std::string bigSection(65536, 's');
  const Bytes record = hugeSection ? writerRecord(7, u"t", bigSection) : writerRecord(7, bigText);
  QmParts parts{.messages = record};
  for (std::uint32_t i = 0; i < count; ++i) parts.index.push_back({i, 0});
  return assembleQm(parts);
}

using HostileInput = SessionTest;

TEST_F(HostileInput, AModPathThatCannotBeCheckedFailsOpenInsteadOfCopyingTheOriginal) {
  const std::u16string original = writeQm("orig.qm", {{1, u"Original", "", ""}});
  const std::u16string existing = writeQm("mod.qm", {{1, u"Mod", "", ""}});
  ASSERT_EQ(::symlink("loop.qm", folder.path("loop.qm").c_str()), 0);
  struct Case {
    std::u16string mod;
    int injectedStatError;
    std::u16string reason;
  };
  const Case cases[] = {
      {folder.widePath("loop.qm"), 0, u"Too many levels of symbolic links"},
      {folder.widePath("loop.qm/x.qm"), 0, u"Too many levels of symbolic links"},
      {folder.widePath("orig.qm/x.qm"), 0, u"Not a directory"},
      {existing, EIO, u"Input/output error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(nativePath(c.mod)));
    dialogs.clear();
    std::unique_ptr<ScopedSystemFault> fault;
    if (c.injectedStatError != 0) {
      fault = std::make_unique<ScopedSystemFault>(SystemCall::stat, c.injectedStatError);
    }
    EXPECT_FALSE(openTraditional(original, c.mod));
    EXPECT_THAT(dialogs.messageTexts(), ElementsAre(openError(c.mod, c.reason)));
    expectNothingLoaded();
  }
}

TEST_F(HostileInput, OnlyAMissingModFileStartsACopyOfTheOriginal) {
  const std::u16string original = writeQm("orig.qm", {{1, u"Original", "", ""}});
  for (const std::u16string& mod :
       {folder.widePath("new.qm"), folder.widePath("missing/folder/new.qm")}) {
    ASSERT_TRUE(openTraditional(original, mod));
    EXPECT_TRUE(session.modIsCopyOfOriginal());
    EXPECT_THAT(modTexts(), ElementsAre(u"Original"));
  }
  ASSERT_TRUE(openTraditional(original, writeQm("mod.qm", {{1, u"Mod", "", ""}})));
  EXPECT_FALSE(session.modIsCopyOfOriginal());
}

TEST_F(HostileInput, AModInAFolderTheUserMayNotEnterFailsOpen) {
  writeQm("orig.qm", {{1, u"Original", "", ""}});
  std::filesystem::create_directory(folder.path("locked"));
  writeQm("locked/mod.qm", {{1, u"Mod", "", ""}});
  giveToUnprivilegedUser(folder.path());
  ::chmod(folder.path().c_str(), 0755);
  ::chmod(folder.path("locked").c_str(), 0600);
  const std::u16string mod = folder.widePath("locked/mod.qm");
  const int result = runUnprivileged([&] {
    if (openTraditional(folder.widePath("orig.qm"), mod)) return 1;
    if (dialogs.messageTexts() != std::vector{openError(mod, u"Permission denied")}) return 2;
    return 0;
  });
  EXPECT_EQ(result, 0);
}

TEST_F(HostileInput, AnInputWhoseSizeCannotBeReadSaysWhy) {
  const std::u16string path = writeQm("orig.qm", {{1, u"Original", "", ""}});
  const ScopedSystemFault fault(SystemCall::fstat, EIO);
  QmDocument document;
  EXPECT_FALSE(readQmFile(path, document, {}, dialogs));
  EXPECT_THAT(dialogs.messageTexts(), ElementsAre(openError(path, u"Input/output error")));
}

TEST_F(HostileInput, EntriesThatShareARecordShareItsTexts) {
  const Bytes file = assembleQm(
      {.index = {{1, 0}, {2, 26}, {3, 0}, {4, 26}, {5, 0}},
       .messages = join({writerRecord(9, u"abc", "Sec"), writerRecord(8, u"def", "Sec", "Sub")})});
  QmDocument document;
  ASSERT_TRUE(readQmFile(folder.write("shared.qm", file), document, {}, dialogs));
  ASSERT_EQ(document.translations.count(), 5);
  for (const std::int32_t i : {2, 4}) {
    EXPECT_EQ(document.translations.view(i).data(), document.translations.view(0).data());
    EXPECT_EQ(document.sectionTexts.view(i).data(), document.sectionTexts.view(0).data());
  }
  EXPECT_EQ(document.translations.view(3), u"def");
  EXPECT_EQ(document.subsectionTexts.view(3), "Sub");
  EXPECT_EQ(document.subsectionTexts.view(4), "");
  EXPECT_THAT(document.hashes, ElementsAre(1, 2, 3, 4, 5));
  // A copy keeps the sharing.
  const QmDocument copy = document;
  EXPECT_EQ(copy.translations.view(4).data(), copy.translations.view(0).data());
  EXPECT_EQ(copy.translations.view(3), u"def");
}

TEST_F(HostileInput, AnAmplificationFileIsReadAndDumpedWithinAMemoryLimit) {
  if (builtWithAddressSanitizer()) GTEST_SKIP() << "address space limits don't work under ASan";
  // 4,096 entries of a 64 KiB text: 256 MiB if each entry had its own copy.
  const std::u16string path = folder.write("amplified.qm", amplificationFile(4096, false));
  const int result = runWithMemoryLimit(std::size_t{96} << 20, [&] {
    QmDocument document;
    if (!readQmFile(path, document, {}, dialogs)) return 1;
    if (document.translations.count() != 4096) return 2;
    std::ofstream devNull("/dev/null");
    if (runDump(path, devNull, dialogs) != 0) return 3;
    return dialogs.messageTexts().empty() ? 0 : 4;
  });
  EXPECT_EQ(result, 0);
}

TEST_F(HostileInput, KeysThatShareATextAreNotCopiedToPairThem) {
  if (builtWithAddressSanitizer()) GTEST_SKIP() << "address space limits don't work under ASan";
  // Every key holds the 64 KiB section text: 3 GiB of keys in "Mod update"
  // if each were built; they are read where the text is held once.
  const std::u16string path = folder.write("amplified.qm", amplificationFile(16384, true));
  const int result = runWithMemoryLimit(std::size_t{256} << 20, [&] {
    if (!openModUpdate(path, path, path)) return 1;
    if (!dialogs.messageTexts().empty()) return 2;
    return session.rowCount() == 16384 ? 0 : 3;
  });
  EXPECT_EQ(result, 0);
}

TEST(PathCodec, EveryByteStringSurvivesTheTripThroughUtf16) {
  struct Case {
    std::string bytes;
    std::u16string path;
  };
  const Case cases[] = {
      {"plain/de.qm", u"plain/de.qm"},
      {"caf\xC3\xA9.qm", u"caf\u00E9.qm"},
      {"caf\xE9.qm", u"caf\xDCE9.qm"},                    // Latin-1
      {"\xF0\x9F\x98\x80", u"\U0001F600"},                // four bytes
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // overlong
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // an encoded surrogate
      {"\xE2\x82", u"\xDCE2\xDC82"},                      // cut short
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pathFromNative(c.bytes), c.path) << c.bytes;
    EXPECT_EQ(nativePath(c.path), c.bytes) << c.bytes;
  }
  const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(nativePath(loneHigh),
            "a\xEF\xBF\xBD"
            "b");
}

TEST_F(HostileInput, NamesThatAreNotUtf8AreOpenedSavedAndDumped) {
  folder.write("caf\xE9.qm", buildQm({{1, u"Hi", "", ""}}));
  const std::u16string original = pathFromNative(folder.path("caf\xE9.qm"));
  const std::u16string saved = pathFromNative(folder.path("sav\xE9.qm"));
  ASSERT_TRUE(openTraditional(original, saved));
  EXPECT_TRUE(session.modIsCopyOfOriginal());
  paths.mod = saved;
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder.path("sav\xE9.qm")));
  std::ostringstream out;
  EXPECT_EQ(runDump(saved, out, dialogs), 0);
  EXPECT_EQ(out.str(),
            "{\"hash\":\"00000001\",\"section\":\"\",\"subsection\":\"\",\"text\":\"Hi\"}\n");
  EXPECT_TRUE(dialogs.messageTexts().empty());
}

}  // namespace
}  // namespace sorvane::test
