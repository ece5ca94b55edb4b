#include "controller/window_controller.h"

#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

// The row's spelling problem; empty when it has none.
std::u16string spelling(const WindowController& controller, std::int32_t row) {
  for (const Problem& problem : controller.problems().problemsOf(row)) {
    if (problem.check == CheckKind::spelling) return problem.message;
  }
  return {};
}

// The spelling is checked while the window is idle, after the other checks,
// and an edit re-checks its row at once.
TEST(SpellingPass, ChecksEveryRowInSlicesAndFollowsEditsAndTheSwitch) {
  TempFolder folder;
  const ScopedEnvironment data("XDG_DATA_HOME", folder.path("data"));
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
  controller.setPaths(
      {u"",
       folder.write("en.qm", buildQm({{1, u"File not found", "File not found", "Main"},
                                      {2, u"Open the file", "Open the file", "Main"}})),
       folder.write("de.qm", buildQm({{1, u"Datei nicht gefunnden", "File not found", "Main"},
                                      {2, u"Datei \u00F6ffnen", "Open the file", "Main"}}))});
  ASSERT_TRUE(controller.run(CommandId::openFiles));
  EXPECT_FALSE(controller.speller());  // the Mod names no language
  controller.changeModLanguage("de");
  if (!controller.speller()) GTEST_SKIP() << "no German dictionary";
  EXPECT_EQ(controller.speller()->dictionaryName(), "de_DE");
  EXPECT_TRUE(controller.backgroundWorkPending());
  EXPECT_EQ(spelling(controller, 0), u"");
  while (controller.runBackgroundWork(std::chrono::milliseconds(50))) {
  }
  EXPECT_EQ(spelling(controller, 0), u"Spelling: gefunnden");
  EXPECT_EQ(spelling(controller, 1), u"");

  controller.openEditors(0);
  controller.setEditedTextSource([] { return std::u16string(u"Datei nicht gefundn"); });
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  EXPECT_EQ(spelling(controller, 0), u"Spelling: gefundn");

  controller.ignoreWord(u"gefundn");
  while (controller.runBackgroundWork(std::chrono::milliseconds(50))) {
  }
  EXPECT_EQ(spelling(controller, 0), u"");

  controller.openEditors(0);
  controller.setEditedTextSource([] { return std::u16string(u"Datei nicht gefunnden"); });
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  EXPECT_EQ(spelling(controller, 0), u"Spelling: gefunnden");
  controller.setSpellingOn(false);
  EXPECT_FALSE(controller.speller());
  EXPECT_EQ(spelling(controller, 0), u"");
}

TEST(SpellingPass, AMissingDictionaryNamesItsPackageAndChecksNothing) {
  TempFolder folder;
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
  controller.setPaths({u"", folder.write("en.qm", buildQm({{1, u"Open", "Open", "Main"}})),
                       folder.write("xx.qm", buildQm({{1, u"Opne", "Open", "Main"}}))});
  ASSERT_TRUE(controller.run(CommandId::openFiles));
  controller.changeModLanguage("ga");  // Irish: Debian's hunspell-ga is rarely installed
  if (controller.speller()) GTEST_SKIP() << "an Irish dictionary is installed";
  EXPECT_EQ(controller.spellingNote(),
            u"No spelling dictionary for ga: install the package hunspell-ga");
  EXPECT_FALSE(controller.backgroundWorkPending());
}

}  // namespace
}  // namespace sorvane::test
