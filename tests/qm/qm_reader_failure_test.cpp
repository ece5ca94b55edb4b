#include "qm/qm_format.h"
#include "qm/qm_reader_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The one message box of a failed read: owned by the main window, error icon,
// OK, no caption of its own.
std::u16string onlyErrorText(const RecordingDialogServices& dialogs) {
  EXPECT_EQ(dialogs.calls().size(), 1U);
  if (dialogs.calls().empty()) return u"<no box>";
  const DialogCall& call = dialogs.calls()[0];
  EXPECT_EQ(call.owner, DialogOwner::mainWindow);
  EXPECT_EQ(call.icon, MessageIcon::error);
  EXPECT_EQ(call.buttons, MessageButtons::ok);
  EXPECT_EQ(call.caption, std::nullopt);
  return call.text;
}

Bytes headerWithIndexLength(std::uint32_t indexLength) {
  Bytes file(kQmMagic.begin(), kQmMagic.end());
  return join({file, {kIndexBlockTag}, be32(indexLength)});
}

TEST_F(QmReaderTest, AMissingFileShowsTheSystemsErrorText) {
  path = folder.widePath("missing.qm");
  EXPECT_FALSE(readQmFile(path, document, {}, dialogs));
  EXPECT_EQ(onlyErrorText(dialogs),
            u"Error opening \"" + path + u"\"\r\nNo such file or directory");
}

TEST_F(QmReaderTest, AFileUnderTwentyOneBytesIsTooSmall) {
  Bytes file = headerWithIndexLength(8);
  file.pop_back();
  EXPECT_FALSE(read(file));
  EXPECT_EQ(onlyErrorText(dialogs), u"File \"" + path + u"\" is too small");
}

TEST_F(QmReaderTest, AFileShorterThanItsIndexIsTooSmallWithAFullStop) {
  EXPECT_FALSE(read(headerWithIndexLength(8)));
  EXPECT_EQ(onlyErrorText(dialogs), u"File \"" + path + u"\" is too small.");
}

TEST_F(QmReaderTest, AnIndexLengthNearTheLimitDoesNotOverflow) {
  EXPECT_FALSE(read(join({headerWithIndexLength(0xFFFFFFFF), Bytes(64, 0)})));
  EXPECT_EQ(onlyErrorText(dialogs), u"File \"" + path + u"\" is too small.");
}

TEST_F(QmReaderTest, AnyDifferenceInTheHeaderIsRefused) {
  for (std::size_t at : {0U, 15U, 16U}) {
    dialogs.clear();
    Bytes file = buildQm({{1, u"x", "", ""}});
    file[at] ^= 0x01;
    EXPECT_FALSE(read(file));
    EXPECT_EQ(onlyErrorText(dialogs), u"Invalid header in \"" + path + u"\"");
  }
}

TEST_F(QmReaderTest, AnIndexOfZeroLengthIsRefused) {
  EXPECT_FALSE(read(join({headerWithIndexLength(0), {kMessagesBlockTag}, be32(0)})));
  EXPECT_EQ(onlyErrorText(dialogs),
            u"Index table has zero size.\r\nNothing to translate in \"" + path + u"\"");
}

TEST_F(QmReaderTest, TheIndexMustBeFollowedByTheMessagesTag) {
  Bytes file =
      assembleQm({.index = {{1, 0}, {2, 0}, {3, 0}, {4, 0}}, .messages = writerRecord(1, u"x")});
  file[53] = 0x00;
  EXPECT_FALSE(read(file));
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"on the end of index table", u"00000035", u"00"));
}

TEST_F(QmReaderTest, AFileEndingRightAfterTheIndexHasNoMessagesTag) {
  EXPECT_FALSE(read(join({headerWithIndexLength(8), Bytes(8, 0)})));
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"on the end of index table", u"0000001d", u"00"));
}

TEST_F(QmReaderTest, BytesAfterTheMessagesMustStartAContextBlock) {
  Bytes file = buildQm({{1, u"Hi", "", ""}});
  const std::size_t messagesEnd = file.size();
  file.push_back(0x30);
  EXPECT_FALSE(read(file));
  EXPECT_EQ(messagesEnd, 49U);
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"on the end of all strings", u"00000031", u"30"));
}

TEST_F(QmReaderTest, TheFileMustEndExactlyWhereItsBlocksEnd) {
  struct Case {
    const char* name;
    Bytes file;
  };
  Bytes longer = buildQm({{1, u"x", "", ""}}, Bytes{1, 2});
  longer.push_back(0);
  Bytes shorter = buildQm({{1, u"x", "", ""}});
  shorter.pop_back();
  Bytes contextTruncated = buildQm({{1, u"x", "", ""}}, Bytes{1, 2});
  contextTruncated.pop_back();
  Bytes contextLengthCut = buildQm({{1, u"x", "", ""}});
  contextLengthCut.insert(contextLengthCut.end(), {kContextBlockTag, 0, 0});
  Bytes messagesLengthCut = join({headerWithIndexLength(8), Bytes(8, 0), {kMessagesBlockTag, 0}});
  for (const Case& c :
       {Case{"byte after context", longer}, Case{"messages cut", shorter},
        Case{"context cut", contextTruncated}, Case{"context length cut", contextLengthCut},
        Case{"messages length cut", messagesLengthCut}}) {
    SCOPED_TRACE(c.name);
    dialogs.clear();
    EXPECT_FALSE(read(c.file));
    EXPECT_EQ(onlyErrorText(dialogs), u"Wrong size of file \"" + path + u"\"");
  }
}

TEST_F(QmReaderTest, ARecordMustStartWithTheTranslationTag) {
  Bytes messages = join({writerRecord(1, u"x"), {0x04}, be32(0), {0x05}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}, {2, 13}}, .messages = messages})));
  // The second record starts at 26 + 16 + 13 = 55 = 0x37.
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"identifying beginning of the string record", u"00000037", u"04"));
}

TEST_F(QmReaderTest, ASectionTextMustBeFollowedByAnEndOrASubsection) {
  Bytes messages = join({translationItem(u"x"), byteTextItem(0x06, std::string("s\0", 2)), {0x08}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  // The tag after the section sits at 26 + 8 + 7 + 7 = 48 = 0x30.
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"on the end of the (Sub)Section", u"00000030", u"08"));
}

TEST_F(QmReaderTest, AnUnknownItemTagEndsTheRead) {
  Bytes messages = join({translationItem(u"x"), {0x02}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_EQ(onlyErrorText(dialogs),
            unexpectedData(u"on the end of the String", u"00000029", u"02"));
}

TEST_F(QmReaderTest, QuietReadsShowNoErrorBox) {
  const QmReadOptions quiet{.keepContextTable = true, .quiet = true};
  EXPECT_FALSE(read(Bytes(5, 0), quiet));
  EXPECT_FALSE(read(join({headerWithIndexLength(0), Bytes(8, 0)}), quiet));
  EXPECT_FALSE(read(
      assembleQm({.index = {{1, 0}}, .messages = join({translationItem(u"x"), {0x02}})}), quiet));
  path = folder.widePath("missing.qm");
  EXPECT_FALSE(readQmFile(path, document, quiet, dialogs));
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(QmReaderTest, AFailedReadKeepsWhatItAppendedAndLeavesTheContextTable) {
  document.contextTable = {7};
  Bytes messages = join({writerRecord(1, u"a"), writerRecord(2, u"b"), {0x09}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}, {2, 13}, {3, 26}}, .messages = messages})));
  EXPECT_THAT(document.hashes, ElementsAre(1U, 2U, 3U));
  EXPECT_THAT(translations(), ElementsAre(u"a", u"b"));
  EXPECT_THAT(document.contextTable, ElementsAre(7));
}

}  // namespace
}  // namespace sorvane::test
