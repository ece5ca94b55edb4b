#include "search/folder_search.h"

#include "qm/qm_format.h"
#include "search/qm_file_test.h"

#include "platform/path_codec.h"
#include "support/child_process.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class FolderSearchTest : public ::testing::Test {
 protected:
  FolderSearchTest() {
    for (const char* folderName : {"a", "a/b", "c"}) {
      std::filesystem::create_directory(folder.path(folderName));
    }
    folder.write("top.qm", buildQm({{1, u"xxABCxx", "", ""}}));
    folder.write("dashes.qm", buildQm({{1, u"a---c", "", ""}}));
    folder.write("upper.QM", buildQm({{1, u"abc", "", ""}}));
    folder.write("broken.qm", {1, 2, 3});
    folder.write("a/deep.qm", buildQm({{1, u"Abc", "", ""}}));
    folder.write("a/b/deeper.qm", buildQm({{1, u"zzz", "", ""}}));
  }

  // The names found (relative to the folder) and the summary line.
  std::vector<std::string> search(std::u16string text, bool recurse) {
    std::vector<std::string> found;
    const FolderSearchHooks hooks{
        .enteringFolder = [this](std::u16string_view) { ++foldersEntered; },
        .found =
            [&](std::u16string_view path) {
              found.push_back(nativePath(path).substr(folder.path().size() + 1));
            },
        .recurse = [recurse] { return recurse; },
        .searchText = [text] { return text; },
        .afterEntry = [] {},
        .stopRequested = [this] { return stopAfter >= 0 && --stopAfter < 0; },
    };
    summary = searchFolder(pathFromNative(folder.path()), hooks, dialogs);
    return found;
  }

  FileTestResult test(std::u16string_view path, std::u16string_view text) {
    return testQmFile(path, text, dialogs, [] { return true; });
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  SearchSummary summary;
  int foldersEntered = 0;
  int stopAfter = -1;
};

TEST_F(FolderSearchTest, FindsQmFilesHoldingTheTextBreadthFirst) {
  const struct {
    std::u16string text;
    bool recurse;
    std::vector<std::string> found;
  } cases[] = {
      {u"abc", false, {"top.qm"}},
      {u"abc", true, {"top.qm", "a/deep.qm"}},
      {u"a?c", true, {"top.qm", "a/deep.qm"}},
      {u"a*c", true, {"top.qm", "dashes.qm", "a/deep.qm"}},
      {u"", false, {"top.qm", "dashes.qm", "broken.qm"}},
      {u"nothing", true, {}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> found = search(c.text, c.recurse);
    // Within a folder the system's order; folders before their subfolders.
    EXPECT_THAT(found, ::testing::UnorderedElementsAreArray(c.found));
    if (c.found.size() == 2) {
      EXPECT_EQ(found.back(), "a/deep.qm");
    }
    EXPECT_EQ(summary.found, static_cast<std::int32_t>(c.found.size()));
  }
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(summaryLine(summary), u"[ Search completed - found 0 files ]");
}

TEST_F(FolderSearchTest, TheFileTestFindsTextsAnywhereInLargeFiles) {
  // Texts at every place of a long translation, behind records of odd and
  // even lengths, so that the bytes are tested at every alignment.
  for (std::size_t place : {0U, 1U, 7U, 8U, 15U, 16U, 17U, 500U, 993U}) {
    for (const std::u16string& before : {std::u16string(), std::u16string(u"x")}) {
      std::u16string text(1000, u'n');
      text.replace(place, 7, u"N\u212Aeedle");
      const Bytes file = buildQm({{1, before, "", ""}, {2, text, "s", ""}});
      const std::u16string path = folder.write("large.qm", file);
      EXPECT_EQ(test(path, u"nkeedle"), FileTestResult::found) << place;
      EXPECT_EQ(test(path, u"n?eed*e"), FileTestResult::found) << place;
      EXPECT_EQ(test(path, u"nkeedlex"), FileTestResult::notFound) << place;
    }
  }
}

// A QM file of several GB (sparse: it takes no disk; one record with a
// translation of 3 GB) is read in pieces, in memory that doesn't grow with
// it, letting events through all along; a stop asked for meanwhile ends the
// test inside it. A file as large that isn't QM costs a few bytes.
TEST_F(FolderSearchTest, ALargeFileIsTestedInBoundedMemoryAndCanBeStopped) {
  const std::uint32_t messages = std::uint32_t{3} << 30;
  const Bytes head = join({Bytes(kQmMagic.begin(), kQmMagic.end()),
                           {kIndexBlockTag},
                           be32(8),
                           be32(1),
                           be32(0),
                           {kMessagesBlockTag},
                           be32(messages),
                           {kTranslationTag},
                           be32(messages - 6)});
  const std::string huge = folder.path("huge.qm");
  folder.write("huge.qm", head);
  ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(head.size() + messages - 5)), 0);
  folder.write("notqm.qm", Bytes(kQmMagic.begin(), kQmMagic.end() - 1));
  ASSERT_EQ(::truncate(folder.path("notqm.qm").c_str(), off_t{3} << 30), 0);
  {
    std::FILE* file = std::fopen(huge.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    std::fseek(file, -1, SEEK_END);
    std::fputc(kRecordEndTag, file);
    std::fclose(file);
  }
  const std::u16string path = pathFromNative(huge);
  const auto check = [&] {
    int calls = 0;
    const auto count = [&calls] { return ++calls > 0; };
    // A text whose bytes it lacks, and one without letters (parsed: the
    // translation of zero bytes is an empty text).
    if (testQmFile(path, u"needle", dialogs, count) != FileTestResult::notFound) return 1;
    if (calls < 500) return 2;
    if (testQmFile(path, u"*", dialogs, count) != FileTestResult::found) return 3;
    int piecesLeft = 3;
    if (testQmFile(path, u"needle", dialogs, [&piecesLeft] { return --piecesLeft > 0; }) !=
        FileTestResult::stopped) {
      return 4;
    }
    calls = 0;
    if (testQmFile(folder.widePath("notqm.qm"), u"*", dialogs, count) != FileTestResult::notFound ||
        calls != 0) {
      return 5;
    }
    return 0;
  };
  // The sanitizer reserves more address space than any limit allows.
  EXPECT_EQ(
      builtWithAddressSanitizer() ? check() : runWithMemoryLimit(std::size_t{256} << 20, check), 0);
}

TEST_F(FolderSearchTest, StopEndsTheSearchAfterTheEntryAtHand) {
  stopAfter = 0;
  search(u"", true);
  EXPECT_EQ(summary.outcome, SearchOutcome::stopped);
  EXPECT_EQ(foldersEntered, 1);
  EXPECT_EQ(summaryLine({SearchOutcome::stopped, 2}), u"[ Search stopped - found 2 files ]");
}

TEST_F(FolderSearchTest, OddEntriesAreSkippedOrFoundWithoutHarm) {
  // A link loop and a link out of the tree are not followed; a pipe named
  // .qm is no candidate; a name in Latin-1 and a path past 4 KiB are found.
  std::filesystem::create_directory_symlink(folder.path(), folder.path("a/loop"));
  std::filesystem::create_directory_symlink("/usr", folder.path("c/out"));
  ASSERT_EQ(::mkfifo(folder.path("pipe.qm").c_str(), 0644), 0);
  folder.write("c/caf\xE9.qm", buildQm({{1, u"abc", "", ""}}));
  // The long path is made a folder at a time: the system takes no more at once.
  const std::filesystem::path workingFolder = std::filesystem::current_path();
  std::filesystem::current_path(folder.path("c"));
  std::string deep = "c";
  const std::string name(200, 'd');
  for (int i = 0; i < 24; ++i) {
    std::filesystem::create_directory(name);
    std::filesystem::current_path(name);
    deep += "/" + name;
  }
  std::filesystem::copy_file(folder.path("top.qm"), "long.qm");
  std::filesystem::current_path(workingFolder);
  const std::vector<std::string> found = search(u"ABC", true);
  EXPECT_THAT(found,
              UnorderedElementsAre("top.qm", "a/deep.qm", "c/caf\xE9.qm", deep + "/long.qm"));
  EXPECT_GT((deep + "/long.qm").size(), 4096U);
  // rm takes paths of any length; the temporary folder's own clean-up doesn't.
  EXPECT_EQ(std::system(("rm -rf '" + folder.path("c/" + name) + "'").c_str()), 0);
}

TEST_F(FolderSearchTest, AFolderThatCannotBeListedIsCountedAndContributesNothing) {
  giveToUnprivilegedUser(folder.path());
  ::chmod(folder.path().c_str(), 0755);
  ::chmod(folder.path("a").c_str(), 0);
  const int result = runUnprivileged([this] {
    const std::vector<std::string> found = search(u"abc", true);
    return found == std::vector<std::string>{"top.qm"} &&
                   summary.outcome == SearchOutcome::completed && summary.unreadableFolders == 1 &&
                   summaryLine(summary) ==
                       u"[ Search completed - found 1 files; 1 folders could not be read ]"
               ? 0
               : 1;
  });
  EXPECT_EQ(result, 0);
  ::chmod(folder.path("a").c_str(), 0755);
}

TEST_F(FolderSearchTest, TheCommentNoticeComesOnceASearch) {
  const Bytes commented =
      assembleQm({.index = {{1, 0}},
                  .messages = join({translationItem(u"x"), byteTextItem(0x08, "c"), {0x05}})});
  folder.write("c/one.qm", commented);
  folder.write("c/two.qm", commented);
  search(u"x", true);
  EXPECT_EQ(dialogs.messageTexts().size(), 1U);
}

}  // namespace
}  // namespace sorvane::test
