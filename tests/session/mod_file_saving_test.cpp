#include "session/mod_file_saving.h"

#include "platform/safe_file_writer.h"
#include "qm/qm_reader.h"
#include "session_fixture.h"
#include "support/child_process.h"
#include "support/system_faults.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const Bytes kSmallest = {0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95, 0xCD, 0x21,
                         0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD, 0x42, 0x00, 0x00, 0x00,
                         0x08, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x00, 0x00, 0x69,
                         0x00, 0x00, 0x00, 0x0F, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00,
                         0x48, 0x00, 0x69, 0x05, 0x12, 0x34, 0x56, 0x78, 0x01};

class SavingTest : public SessionTest {
 protected:
  bool save() { return writeModFile(session, paths, dialogs); }

  // The one box a failed save shows: main window, error icon, "File not saved".
  std::u16string saveErrorText() const {
    EXPECT_EQ(dialogs.calls().size(), 1U);
    if (dialogs.calls().empty()) return u"<no box>";
    const DialogCall& call = dialogs.calls().back();
    EXPECT_EQ(call.owner, DialogOwner::mainWindow);
    EXPECT_EQ(call.icon, MessageIcon::error);
    EXPECT_EQ(call.buttons, MessageButtons::ok);
    EXPECT_EQ(call.caption, u"File not saved");
    return call.text;
  }

  static mode_t permissions(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  }
};

TEST_F(SavingTest, WritesTheSmallestFileByteForByte) {
  ASSERT_TRUE(openTraditional(folder.write("en.qm", kSmallest), u""));
  paths.mod = folder.widePath("out.qm");
  ASSERT_TRUE(save());
  EXPECT_EQ(folder.read("out.qm"), kSmallest);
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(SavingTest, ASavedFileReadsBackIntoTheSameDocument) {
  const std::vector<QmEntry> entries = {{0xA, u"plain", "", ""},
                                        {0xB, u"sec\nond", "Section", ""},
                                        {0xC, u"", "Source", "Context"},
                                        {0xD, u"\u00FCber", "", "only subsection"}};
  ASSERT_TRUE(openTraditional(writeQm("en.qm", entries, Bytes{9, 8, 7}), u""));
  session.setRowModText(0, u"changed");
  ASSERT_TRUE(save());
  const QmDocument back = readBack("en1.qm");
  EXPECT_THAT(back.hashes, ElementsAre(0xAU, 0xBU, 0xCU, 0xDU));
  EXPECT_EQ(back.translations.joinedText(), session.mod().translations.joinedText());
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(back.sectionTexts.get(i), session.mod().sectionTexts.get(i));
    EXPECT_EQ(back.subsectionTexts.get(i), session.mod().subsectionTexts.get(i));
  }
  EXPECT_THAT(back.contextTable, ElementsAre(9, 8, 7));
}

TEST_F(SavingTest, AnEmptyContextTableWritesNoContextBlock) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}, Bytes{}), u""));
  ASSERT_TRUE(save());
  EXPECT_EQ(folder.read("en1.qm").size(), 47U);
}

TEST_F(SavingTest, ClearsTheModifiedFlagOnlyOnSuccess) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  session.setModified(true);
  ASSERT_TRUE(save());
  EXPECT_FALSE(session.modified());
  EXPECT_TRUE(askToSaveChanges(session, paths, dialogs));
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(SavingTest, ModUpdateWritesEntriesSortedByCaseFoldedKey) {
  const auto newOriginal = writeQm("new.qm",
                                   {{0x20, u"b", "", ""},
                                    {0x10, u"c", "Zeta", ""},
                                    {0x10, u"d", "alpha", ""},
                                    {0x0F, u"e", "", ""}},
                                   Bytes{5, 5});
  ASSERT_TRUE(openModUpdate(newOriginal, newOriginal, u""));
  paths.mod = folder.widePath("sorted.qm");
  ASSERT_TRUE(save());
  const QmDocument back = readBack("sorted.qm");
  EXPECT_THAT(back.hashes, ElementsAre(0x0FU, 0x10U, 0x10U, 0x20U));
  EXPECT_EQ(back.translations.joinedText(), u"e\r\nd\r\nc\r\nb\r\n");
  EXPECT_THAT(back.contextTable, ElementsAre(5, 5));
}

TEST_F(SavingTest, ModUpdateWritesEntriesWithIdenticalKeysWithTheFirstOnesData) {
  const auto original = writeQm("new.qm", {{1, u"a", "", ""}});
  const auto mod = writeQm("mod.qm", {{1, u"first", "", ""}, {1, u"second", "", ""}});
  ASSERT_TRUE(openModUpdate(original, original, mod));
  paths.mod = folder.widePath("out.qm");
  ASSERT_TRUE(save());
  EXPECT_EQ(readBack("out.qm").translations.joinedText(), u"first\r\nfirst\r\n");
}

TEST_F(SavingTest, TheModFileMustDifferFromTheOriginals) {
  const auto original = writeQm("en.qm", {{1, u"x", "", ""}});
  const auto old = writeQm("old.qm", {{1, u"x", "", ""}});
  ASSERT_TRUE(openModUpdate(old, original, u""));
  const std::u16string message =
      u"Choose a different filename for the Mod file than for the Original file";
  session.setModified(true);
  paths.mod = original;
  EXPECT_FALSE(save());
  EXPECT_EQ(saveErrorText(), message);
  dialogs.clear();
  paths.mod = old;
  EXPECT_FALSE(save());
  EXPECT_EQ(saveErrorText(), message);
  EXPECT_TRUE(session.modified());
  // The comparison is exact: another letter case is another name.
  dialogs.clear();
  paths.mod = folder.widePath("EN.qm");
  EXPECT_TRUE(save());
}

TEST_F(SavingTest, CreatesMissingFoldersOrSaysWhichOneItCouldNot) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  paths.mod = folder.widePath("a/b/c/de.qm");
  ASSERT_TRUE(save());
  EXPECT_EQ(folder.read("a/b/c/de.qm").size(), 47U);

  paths.mod = u"de.qm";
  EXPECT_FALSE(save());
  EXPECT_EQ(saveErrorText(), u"Could not create a directory \"\"");

  dialogs.clear();
  folder.write("file", {});
  paths.mod = folder.widePath("file/sub/de.qm");
  EXPECT_FALSE(save());
  EXPECT_EQ(saveErrorText(),
            u"Could not create a directory \"" + folder.widePath("file/sub/") + u"\"");
}

TEST_F(SavingTest, AReadOnlyModFileIsOverwrittenAndStaysReadOnly) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  paths.mod = folder.write("de.qm", {1, 2, 3});
  ::chmod(folder.path("de.qm").c_str(), 0444);
  ASSERT_TRUE(save());
  EXPECT_EQ(folder.read("de.qm").size(), 47U);
  EXPECT_EQ(permissions(folder.path("de.qm")), 0444U);
}

TEST_F(SavingTest, TheSavedFileKeepsTheOldPermissions) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  paths.mod = folder.write("de.qm", {1});
  ::chmod(folder.path("de.qm").c_str(), 0640);
  ASSERT_TRUE(save());
  EXPECT_EQ(permissions(folder.path("de.qm")), 0640U);
}

TEST_F(SavingTest, ASymbolicLinkStaysALinkToTheReplacedFile) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  std::filesystem::create_directory(folder.path("real"));
  folder.write("real/de.qm", {1});
  std::filesystem::create_symlink("real/de.qm", folder.path("link.qm"));
  paths.mod = folder.widePath("link.qm");
  ASSERT_TRUE(save());
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.qm")));
  EXPECT_EQ(folder.read("real/de.qm").size(), 47U);
}

TEST_F(SavingTest, AFailingSaveLeavesTheOldFileAsItWasAndNoLeftovers) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  const Bytes old = {1, 2, 3, 4, 5};
  paths.mod = folder.write("de.qm", old);
  session.setModified(true);
  for (const SystemCall step :
       {SystemCall::create, SystemCall::write, SystemCall::flush, SystemCall::rename}) {
    dialogs.clear();
    ScopedSystemFault fault(step, ENOSPC);
    EXPECT_FALSE(save());
    EXPECT_EQ(saveErrorText(),
              u"Could not save. Try to choose a different filename for the Mod file\r\n"
              u"No space left on device\r\nFile: \"" +
                  paths.mod + u"\"");
    EXPECT_EQ(folder.read("de.qm"), old);
    EXPECT_TRUE(session.modified());
  }
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
    ++files;
  EXPECT_EQ(files, 2U);  // en.qm and de.qm
}

// What the message after a save says matches what the file holds, also
// when steps fail after the new content is written: a hard-linked file is
// written in place, any other replaced by a rename.
TEST_F(SavingTest, TheMessageAfterASaveSaysWhatTheFileHolds) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"new", "", ""}}), u""));
  const Bytes old = {1, 2, 3, 4, 5};
  const std::u16string savedNote = u"\"" + folder.widePath("de.qm") +
                                   u"\" was saved, but a step after writing it failed:\r\n"
                                   u"Input/output error";
  const std::u16string notSaved =
      u"Could not save. Try to choose a different filename for the Mod file\r\n"
      u"Input/output error\r\nFile: \"" +
      folder.widePath("de.qm") + u"\"";
  const struct Case {
    bool hardLinked;
    std::initializer_list<SystemCall> failing;
    bool saved;
    bool holdsNew;
    std::u16string message;
  } cases[] = {
      {true, {SystemCall::close}, true, true, savedNote},
      {false, {SystemCall::syncFolder}, true, true, savedNote},
      {true, {SystemCall::flush}, false, false, notSaved},
      {true,
       {SystemCall::flush, SystemCall::restore},
       false,
       true,
       notSaved + u"\r\n\r\nThe file holds the new content, but it may not be on disk: its old "
                  u"content could not be put back."},
      {true, {SystemCall::write, SystemCall::restore}, false, false, notSaved},
  };
  for (const Case& c : cases) {
    dialogs.clear();
    std::filesystem::remove(folder.path("link.qm"));
    paths.mod = folder.write("de.qm", old);
    // The session knows the file as it is now: no other program changed it.
    session.recordModFile(paths.mod);
    if (c.hardLinked) ::link(folder.path("de.qm").c_str(), folder.path("link.qm").c_str());
    session.setModified(true);
    {
      const ScopedSystemFault fault(c.failing, EIO);
      EXPECT_EQ(save(), c.saved);
    }
    ASSERT_EQ(dialogs.calls().size(), 1U);
    EXPECT_EQ(dialogs.calls()[0].text, c.message);
    EXPECT_EQ(dialogs.calls()[0].caption, c.saved ? u"File saved" : u"File not saved");
    EXPECT_EQ(session.modified(), !c.saved);
    if (c.holdsNew) {
      EXPECT_EQ(readBack("de.qm").translations.get(0), u"new");
    } else {
      EXPECT_EQ(folder.read("de.qm"), old);
    }
  }
}

TEST_F(SavingTest, AModPathThatIsAFolderIsNotReplaced) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  std::filesystem::create_directory(folder.path("de.qm"));
  paths.mod = folder.widePath("de.qm");
  EXPECT_FALSE(save());
  EXPECT_EQ(saveErrorText(),
            u"Could not save. Try to choose a different filename for the Mod file\r\nIs a "
            u"directory\r\nFile: \"" +
                paths.mod + u"\"");
}

TEST_F(SavingTest, AskToSaveChangesFollowsTheAnswer) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  session.setModified(true);

  dialogs.answerNextMessage(MessageAnswer::cancel);
  EXPECT_FALSE(askToSaveChanges(session, paths, dialogs));
  ASSERT_EQ(dialogs.calls().size(), 1U);
  const DialogCall& question = dialogs.calls()[0];
  EXPECT_EQ(question.text, u"Do you want to save changes now?");
  EXPECT_EQ(question.caption, u"Changes not saved");
  EXPECT_EQ(question.buttons, MessageButtons::yesNoCancel);
  EXPECT_EQ(question.icon, MessageIcon::exclamation);
  EXPECT_EQ(question.owner, DialogOwner::mainWindow);

  dialogs.answerNextMessage(MessageAnswer::no);
  EXPECT_TRUE(askToSaveChanges(session, paths, dialogs));
  EXPECT_TRUE(session.modified());
  EXPECT_FALSE(folder.read("en1.qm").size() > 0);

  dialogs.answerNextMessage(MessageAnswer::yes);
  EXPECT_TRUE(askToSaveChanges(session, paths, dialogs));
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(folder.read("en1.qm").size(), 47U);
}

TEST_F(SavingTest, YesWithAFailingSaveKeepsTheSessionOpen) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"x", "", ""}}), u""));
  session.setModified(true);
  paths.mod = paths.newOriginal;
  dialogs.answerNextMessage(MessageAnswer::yes);
  EXPECT_FALSE(session.closeSession(paths, dialogs));
  EXPECT_TRUE(session.isOpen());
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(dialogs.messageTexts().size(), 2U);
}

// Permission cases run as an unprivileged user: as root every check passes.
class UnprivilegedSavingTest : public SavingTest {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
  }

  // A Mod file of "nobody" in a folder of root's that "nobody" may not
  // write, or the reverse.
  void prepare(bool userOwnsFolder, bool userOwnsFile, mode_t fileMode) {
    ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"new", "", ""}}), u""));
    std::filesystem::create_directory(folder.path("mods"));
    paths.mod = folder.write("mods/de.qm", kOld);
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(folder.path("mods").c_str(), 0755);
    ::chmod(folder.path("mods/de.qm").c_str(), fileMode);
    if (userOwnsFolder) ::chown(folder.path("mods").c_str(), kUnprivilegedId, kUnprivilegedId);
    if (userOwnsFile) ::chown(folder.path("mods/de.qm").c_str(), kUnprivilegedId, kUnprivilegedId);
  }

  // Saves as "nobody"; 0 when the save gave the expected result and box.
  int saveAsUser(bool succeeds, std::u16string_view error = {},
                 std::optional<SystemCall> faultStep = std::nullopt) {
    return runUnprivileged([&] {
      std::optional<ScopedSystemFault> fault;
      if (faultStep) fault.emplace(*faultStep, ENOSPC);
      if (save() != succeeds) return 1;
      if (succeeds) return dialogs.calls().empty() ? 0 : 2;
      const std::u16string expected =
          u"Could not save. Try to choose a different filename for the Mod file\r\n" +
          std::u16string(error) + u"\r\nFile: \"" + paths.mod + u"\"";
      return dialogs.messageTexts() == std::vector{expected} ? 0 : 3;
    });
  }

  std::size_t filesIn(const std::string& path) const {
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path)) ++files;
    return files;
  }

  static inline const Bytes kOld = {1, 2, 3, 4, 5, 6, 7, 8};
};

TEST_F(UnprivilegedSavingTest, AWritableFileInAFolderTheUserMayNotWriteIsWrittenInPlace) {
  prepare(false, true, 0644);
  EXPECT_EQ(saveAsUser(false, u"No space left on device", SystemCall::write), 0);
  EXPECT_EQ(folder.read("mods/de.qm"), kOld);
  EXPECT_EQ(saveAsUser(false, u"No space left on device", SystemCall::flush), 0);
  EXPECT_EQ(folder.read("mods/de.qm"), kOld);
  EXPECT_EQ(saveAsUser(true), 0);
  EXPECT_EQ(readBack("mods/de.qm").translations.get(0), u"new");
  EXPECT_EQ(filesIn(folder.path("mods")), 1U);
  // One's own read-only file too, and it stays read-only.
  ::chmod(folder.path("mods/de.qm").c_str(), 0444);
  EXPECT_EQ(saveAsUser(true), 0);
  EXPECT_EQ(permissions(folder.path("mods/de.qm")), 0444U);
}

TEST_F(UnprivilegedSavingTest, AFileOfAnotherOwnerTheUserMayNotWriteIsNotReplaced) {
  prepare(true, false, 0644);
  EXPECT_EQ(saveAsUser(false, u"Permission denied"), 0);
  EXPECT_EQ(folder.read("mods/de.qm"), kOld);
  struct stat info {};
  ::stat(folder.path("mods/de.qm").c_str(), &info);
  EXPECT_EQ(info.st_uid, 0U);
  EXPECT_EQ(filesIn(folder.path("mods")), 1U);
}

TEST_F(UnprivilegedSavingTest, AFileOfAnotherOwnerTheUserMayWriteKeepsItsOwner) {
  prepare(true, false, 0666);
  EXPECT_EQ(saveAsUser(true), 0);
  EXPECT_EQ(readBack("mods/de.qm").translations.get(0), u"new");
  struct stat info {};
  ::stat(folder.path("mods/de.qm").c_str(), &info);
  EXPECT_EQ(info.st_uid, 0U);
}

TEST_F(SavingTest, ANameTooLongForTheNewFilesNameIsWrittenInPlace) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"new", "", ""}}), u""));
  const std::string name = std::string(250, 'n') + ".qm";
  paths.mod = folder.write(name, {1, 2, 3});
  ASSERT_TRUE(save());
  EXPECT_EQ(readBack(name).translations.get(0), u"new");
}

TEST_F(SavingTest, EveryNameOfAHardLinkedFileSeesTheNewContent) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"new", "", ""}}), u""));
  paths.mod = folder.write("de.qm", {1, 2, 3});
  ASSERT_EQ(::link(folder.path("de.qm").c_str(), folder.path("other.qm").c_str()), 0);
  ASSERT_TRUE(save());
  EXPECT_EQ(folder.read("other.qm"), folder.read("de.qm"));
  EXPECT_EQ(readBack("other.qm").translations.get(0), u"new");
}

}  // namespace
}  // namespace sorvane::test

namespace sorvane::test {
namespace {

// A device is never replaced by the Mod nor written into: as root that
// would replace the system's /dev/null, as anyone else fill it.
TEST_F(UnprivilegedSavingTest, ADeviceIsNeitherReplacedNorWrittenInto) {
  ASSERT_TRUE(openTraditional(writeQm("en.qm", {{1, u"new", "", ""}}), u""));
  paths.mod = u"/dev/null";
  session.setModified(true);
  const int result = runUnprivileged([this] {
    if (save()) return 1;
    return dialogs.messageTexts() ==
                   std::vector<std::u16string>{
                       u"\"/dev/null\" is not a regular file: choose a "
                       u"different filename for the Mod file"}
               ? 0
               : 2;
  });
  EXPECT_EQ(result, 0);
  struct stat info {};
  ASSERT_EQ(::stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// The Mod's file changed by another program since it was read, or since it
// was last saved, is overwritten only when the user says so.
TEST_F(SavingTest, AModFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
  const std::u16string original = writeQm("en.qm", {{1, u"new", "", ""}});
  const std::u16string mod = writeQm("de.qm", {{1, u"alt", "", ""}});
  const struct {
    const char* name;
    std::function<void()> change;
    std::u16string question;
  } cases[] = {
      {"changed",
       [this] {
         folder.write("de.qm", {1, 2, 3});
       },
       u"\" was changed by another program since Sorvane read or saved it. Overwrite it?"},
      {"removed", [this] { std::filesystem::remove(folder.path("de.qm")); },
       u"\" was deleted or moved by another program since Sorvane read or saved it. Save it "
       u"there anew?"},
      {"read-only", [this] { ::chmod(folder.path("de.qm").c_str(), 0444); },
       u"\" was made read-only since Sorvane read or saved it. Overwrite it?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::chmod(folder.path("de.qm").c_str(), 0644);
    folder.write("de.qm", buildQm({{1, u"alt", "", ""}}));
    ASSERT_TRUE(openTraditional(original, mod));
    session.setRowModText(0, u"neu");
    session.setModified(true);
    ASSERT_TRUE(save());  // what the session saved is known to it
    c.change();
    const bool existed = std::filesystem::exists(folder.path("de.qm"));
    const Bytes before = existed ? folder.read("de.qm") : Bytes();
    dialogs.clear();
    dialogs.answerNextMessage(MessageAnswer::cancel);
    session.setModified(true);
    EXPECT_FALSE(save());
    ASSERT_EQ(dialogs.calls().size(), 1U);
    EXPECT_EQ(dialogs.calls()[0].text, u"\"" + mod + c.question);
    EXPECT_EQ(dialogs.calls()[0].caption, u"Mod file changed");
    EXPECT_EQ(std::filesystem::exists(folder.path("de.qm")), existed);
    if (existed) {
      EXPECT_EQ(folder.read("de.qm"), before);
    }
    EXPECT_TRUE(session.modified());
    dialogs.answerNextMessage(MessageAnswer::ok);
    EXPECT_TRUE(save());
    EXPECT_EQ(readBack("de.qm").translations.get(0), u"neu");
  }
}

}  // namespace
}  // namespace sorvane::test
