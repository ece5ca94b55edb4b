#include "settings/settings_file.h"

#include "support/child_process.h"
#include "support/system_faults.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace sorvane::test {
namespace {

TEST(SettingsFile, NumbersReadAsTheDigitsAfterAnOptionalSign) {
  const struct {
    std::u16string_view text;
    std::int32_t number;
  } cases[] = {{u"01", 1}, {u"+1", 1},    {u"2", 2},  {u"12px", 12}, {u"abc", 0},
               {u"", 0},   {u"-40", -40}, {u" 5", 0}, {u"+-3", 0},   {u"99999999999", 2147483647}};
  for (const auto& c : cases) {
    EXPECT_EQ(settingsNumber(c.text), c.number) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(SettingsFile, PlacementsRoundTripUnderTheirPrefix) {
  WideStringList settings;
  EXPECT_FALSE(hasPlacement(settings, u"form"));
  writePlacement(settings, u"form", {-8, 20, 900, 700, true});
  EXPECT_EQ(settings.joinedText(),
            u"form_left=-8\r\nform_right=900\r\nform_top=20\r\nform_bottom=700\r\nform_max=1\r\n");
  const WindowPlacement read = readPlacement(settings, u"form");
  EXPECT_EQ(read.left, -8);
  EXPECT_EQ(read.bottom, 700);
  EXPECT_TRUE(read.maximized);
  EXPECT_FALSE(hasPlacement(settings, u"searchform"));
}

TEST(SettingsFile, AnOddLengthFileReadsAsNoSettings) {
  TempFolder folder;
  folder.write("sorvane.ini", {'a', 0, '=', 0, 'b'});
  EXPECT_EQ(loadSettingsFile(folder.widePath("sorvane.ini")).count(), 0);
  EXPECT_EQ(loadSettingsFile(folder.widePath("missing.ini")).count(), 0);
}

TEST(SettingsFile, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  const Bytes old = {'k', 0, '=', 0, 'v', 0, '\r', 0, '\n', 0};
  folder.write("sorvane.ini", old);
  WideStringList settings = loadSettingsFile(folder.widePath("sorvane.ini"));
  settings.setValue(u"k", u"changed");
  for (const SystemCall call : {SystemCall::create, SystemCall::write, SystemCall::flush}) {
    const ScopedSystemFault fault(call, ENOSPC);
    EXPECT_EQ(saveSettingsFile(settings, folder.widePath("sorvane.ini")), ENOSPC);
    EXPECT_EQ(folder.read("sorvane.ini"), old);
  }
  EXPECT_EQ(saveSettingsFile(settings, folder.widePath("sorvane.ini")), 0);
  EXPECT_EQ(loadSettingsFile(folder.widePath("sorvane.ini")).getValue(u"k"), u"changed");
}

// Where the settings go, worked out by an unprivileged user (as root every
// folder may be written) with the environment of each case.
TEST(SettingsFile, TheFileBesideTheExecutableIsReadWhereItIsAndWrittenWhereItMayBe) {
  TempFolder folder;
  for (const char* name : {"open", "closed", "closedWithFile", "config"}) {
    std::filesystem::create_directory(folder.path(name));
  }
  folder.write("closedWithFile/sorvane.ini", {'k', 0, '=', 0, 'v', 0});
  giveToUnprivilegedUser(folder.path());
  ::chmod(folder.path("closedWithFile/sorvane.ini").c_str(), 0444);
  ::chmod(folder.path().c_str(), 0755);
  // Installed copies: folders the user may not write.
  for (const char* name : {"closed", "closedWithFile"}) {
    if (::geteuid() == 0) ::chown(folder.path(name).c_str(), 0, 0);
    ::chmod(folder.path(name).c_str(), 0555);
  }
  const std::u16string config = folder.widePath("config") + u"/sorvane/sorvane.ini";
  const struct Case {
    const char* folder;
    bool xdgSet;
    bool homeSet;
    std::u16string read;
    std::u16string write;
  } cases[] = {
      {"open", true, true, folder.widePath("open/sorvane.ini"),
       folder.widePath("open/sorvane.ini")},
      {"closed", true, true, config, config},
      {"closedWithFile", true, true, folder.widePath("closedWithFile/sorvane.ini"), config},
      // Without HOME the user database names the home folder.
      {"closed", false, false, u"", u""},
  };
  for (const Case& c : cases) {
    const int result = runUnprivileged([&] {
      if (c.xdgSet) {
        ::setenv("XDG_CONFIG_HOME", folder.path("config").c_str(), 1);
      } else {
        ::unsetenv("XDG_CONFIG_HOME");
      }
      if (!c.homeSet) ::unsetenv("HOME");
      const SettingsLocation location = settingsLocation(folder.widePath(c.folder));
      if (c.read.empty()) {
        // Whatever the database says, never a path at the root.
        return location.writePath.starts_with(u"/sorvane") ||
                       !location.writePath.ends_with(u"/.config/sorvane/sorvane.ini") ||
                       location.readPath != location.writePath
                   ? 1
                   : 0;
      }
      return location.readPath == c.read && location.writePath == c.write ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << c.folder << " " << c.xdgSet;
  }
  for (const char* name : {"closed", "closedWithFile"}) ::chmod(folder.path(name).c_str(), 0755);
}

TEST(SettingsFile, AReadOnlyFileIsKeptAsItIs) {
  TempFolder folder;
  const Bytes old = {'k', 0, '=', 0, 'v', 0, '\r', 0, '\n', 0};
  folder.write("sorvane.ini", old);
  ::chmod(folder.path("sorvane.ini").c_str(), 0444);
  WideStringList settings = loadSettingsFile(folder.widePath("sorvane.ini"));
  EXPECT_EQ(settings.getValue(u"k"), u"v");
  settings.setValue(u"k", u"changed");
  EXPECT_EQ(saveSettingsFile(settings, folder.widePath("sorvane.ini")), EACCES);
  EXPECT_EQ(folder.read("sorvane.ini"), old);
  EXPECT_EQ(saveSettingsFile(settings, u""), ENOENT);
}

}  // namespace
}  // namespace sorvane::test
