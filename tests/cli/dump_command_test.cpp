#include "cli/dump_command.h"

#include "cli/stderr_dialog_services.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace sorvane::test {
namespace {

using ::testing::IsEmpty;

class DumpCommand : public ::testing::Test {
 protected:
  int dump(const Bytes& file) { return runDump(folder.write("file.qm", file), out, dialogs); }

  TempFolder folder;
  RecordingDialogServices dialogs;
  std::ostringstream out;
};

TEST_F(DumpCommand, PrintsOneJsonObjectPerEntryWithAnUpperCaseHash) {
  ASSERT_EQ(dump(buildQm({{0x12345678, u"Hi", "", ""}, {0xABCDEF01, u"Yes", "Src", "Ctx"}})), 0);
  EXPECT_EQ(
      out.str(),
      "{\"hash\":\"12345678\",\"section\":\"\",\"subsection\":\"\",\"text\":\"Hi\"}\n"
      "{\"hash\":\"ABCDEF01\",\"section\":\"Src\",\"subsection\":\"Ctx\",\"text\":\"Yes\"}\n");
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(DumpCommand, EscapesLineBreaksQuotesAndControlCharacters) {
  ASSERT_EQ(dump(buildQm({{1, u"a\nb \"q\" \\ \t\u0001", "", ""}})), 0);
  EXPECT_EQ(out.str(),
            "{\"hash\":\"00000001\",\"section\":\"\",\"subsection\":\"\","
            "\"text\":\"a\\nb \\\"q\\\" \\\\ \\t\\u0001\"}\n");
}

TEST_F(DumpCommand, WritesUtf8AndReplacesWhatHasNoUtf8Form) {
  const char16_t text[] = {u'\u00D6', 0xD800, u'x', 0};
  ASSERT_EQ(dump(buildQm({{1, text, "\xC3\xA4\xFF", ""}})), 0);
  EXPECT_EQ(out.str(),
            "{\"hash\":\"00000001\",\"section\":\"\xC3\xA4\xEF\xBF\xBD\",\"subsection\":\"\","
            "\"text\":\"\xC3\x96\xEF\xBF\xBDx\"}\n");
}

TEST_F(DumpCommand, PrintsAPluralMessageAsOneLineAFormWithWhatIsNotTheDefault) {
  const Bytes record = join({translationItem(u"one"),
                             {0x03, 0xFF, 0xFF, 0xFF, 0xFF},
                             byteTextItem(0x08, "n"),
                             byteTextItem(0x06, "S"),
                             byteTextItem(0x07, "C"),
                             {0x01}});
  ASSERT_EQ(dump(assembleQm({.index = {{7, 0}}, .messages = record})), 0);
  EXPECT_EQ(out.str(),
            "{\"hash\":\"00000007\",\"section\":\"S\",\"subsection\":\"C\",\"text\":\"one\","
            "\"comment\":\"n\"}\n"
            "{\"hash\":\"00000007\",\"section\":\"S\",\"subsection\":\"C\",\"text\":\"\","
            "\"form\":1,\"comment\":\"n\",\"absent\":true}\n");
}

TEST_F(DumpCommand, ARefusedFilePrintsNothingAndFails) {
  EXPECT_EQ(dump(Bytes(10, 0)), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(dialogs.messageTexts().size(), 1U);
}

TEST(StderrDialogServices, PrintsEachCrLfAsOneLineBreak) {
  std::ostringstream err;
  StderrDialogServices dialogs(err);
  EXPECT_EQ(dialogs.showMessage(DialogOwner::mainWindow, u"Error opening \"x\"\r\nNo such file",
                                std::nullopt, MessageButtons::ok, MessageIcon::error),
            MessageAnswer::ok);
  EXPECT_EQ(err.str(), "Error opening \"x\"\nNo such file\n");
  EXPECT_EQ(dialogs.showMessage(DialogOwner::mainWindow, u"Save?", u"Changes not saved",
                                MessageButtons::yesNoCancel, MessageIcon::exclamation),
            MessageAnswer::cancel);
  EXPECT_EQ(dialogs.chooseFolder(DialogOwner::mainWindow, u"/"), std::nullopt);
}

}  // namespace
}  // namespace sorvane::test
