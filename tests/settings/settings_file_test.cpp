#include "settings/settings_file.h"

#include "platform/system_fault.h"
#include "support/child_process.h"
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

TEST(SettingsFile, AnExecutableFolderTheUserCannotWriteSendsTheSettingsToXdgConfig) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path("bin"));
  std::filesystem::create_directory(folder.path("config"));
  giveToUnprivilegedUser(folder.path());
  ::chmod(folder.path().c_str(), 0755);
  if (::geteuid() == 0) ::chown(folder.path("bin").c_str(), 0, 0);  // a system folder
  ::chmod(folder.path("bin").c_str(), 0755);
  const std::u16string bin = folder.widePath("bin");
  const std::u16string config = folder.widePath("config");
  const int result = runUnprivileged([&] {
    ::setenv("XDG_CONFIG_HOME", folder.path("config").c_str(), 1);
    const std::u16string path = settingsFilePath(bin);
    if (path != config + u"/sorvane/sorvane.ini") return 1;
    WideStringList settings;
    settings.setValue(u"mod", u"x");
    return saveSettingsFile(settings, path) == 0 ? 0 : 2;
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(std::filesystem::exists(folder.path("config/sorvane/sorvane.ini")));
  // A folder that can hold the file keeps it beside the executable.
  EXPECT_EQ(settingsFilePath(config), config + u"/sorvane.ini");
}

}  // namespace
}  // namespace sorvane::test
