#include "qm/qm_format.h"
#include "qm/qm_reader_fixture.h"

#include <gmock/gmock.h>

// Files from strangers: offsets and lengths that reach beyond the messages
// block are refused as unexpected data instead of being read.

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

constexpr std::u16string_view kRecordBeginning = u"identifying beginning of the string record";
constexpr std::u16string_view kEndOfString = u"on the end of the String";
constexpr std::u16string_view kEndOfSection = u"on the end of the (Sub)Section";

std::u16string lastMessage(const RecordingDialogServices& dialogs) {
  return dialogs.calls().empty() ? u"<no box>" : dialogs.calls().back().text;
}

TEST_F(QmReaderTest, AnOffsetBeyondTheMessagesBlockIsRefused) {
  // The context block's bytes are not part of any record.
  const Bytes file = assembleQm(
      {.index = {{1, 13}}, .messages = writerRecord(1, u"x"), .context = translationItem(u"c")});
  EXPECT_FALSE(read(file));
  // 26 + 8 + 13 = 47 = 0x2f: the first byte after the block.
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kRecordBeginning, u"0000002f", u"00"));
}

TEST_F(QmReaderTest, AnOffsetPastTheFileIsRefusedAtTheEndOfTheFileInEightDigits) {
  for (std::uint32_t offset : {0xFFFFFFF0U, 0xFFFFFFFFU, 100U}) {
    dialogs.clear();
    EXPECT_FALSE(read(assembleQm({.index = {{1, offset}}, .messages = writerRecord(1, u"x")})));
    EXPECT_EQ(lastMessage(dialogs), unexpectedData(kRecordBeginning, u"0000002f", u"00"));
  }
}

TEST_F(QmReaderTest, ATranslationLongerThanTheBlockIsRefused) {
  for (std::uint32_t length : {100U, 0xFFFFFFFEU}) {
    dialogs.clear();
    const Bytes messages = join({{0x03}, be32(length), utf16Be(u"abc"), {0x05}});
    EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
    EXPECT_EQ(lastMessage(dialogs), unexpectedData(kRecordBeginning, u"00000022", u"03"));
  }
}

TEST_F(QmReaderTest, ALengthFieldCutByTheBlockEndIsRefused) {
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = {0x03, 0x00, 0x00}})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kRecordBeginning, u"00000022", u"03"));

  dialogs.clear();
  EXPECT_FALSE(
      read(assembleQm({.index = {{1, 0}}, .messages = join({translationItem(u"x"), {0x06, 0}})})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfString, u"00000029", u"06"));
}

TEST_F(QmReaderTest, EightBitTextsLongerThanTheBlockAreRefused) {
  const Bytes section = join({translationItem(u"x"), {0x06}, be32(0xFFFFFFFF), {'s', 0, 0x05}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = section})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfString, u"00000029", u"06"));

  dialogs.clear();
  const Bytes subsection = join({translationItem(u"x"),
                                 byteTextItem(0x06, std::string("s\0", 2)),
                                 {0x07},
                                 be32(50),
                                 {'u', 0}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = subsection})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfSection, u"00000030", u"07"));

  dialogs.clear();
  const Bytes comment = join({translationItem(u"x"), {0x08}, be32(9), {'c', 0x05}});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = comment})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfString, u"00000029", u"08"));
}

TEST_F(QmReaderTest, ARecordRunningOffTheBlockEndIsRefused) {
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = translationItem(u"x")})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfString, u"00000029", u"00"));

  dialogs.clear();
  const Bytes messages = join({translationItem(u"x"), byteTextItem(0x07, std::string("s\0", 2))});
  EXPECT_FALSE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_EQ(lastMessage(dialogs), unexpectedData(kEndOfSection, u"00000030", u"00"));
}

TEST_F(QmReaderTest, AMessagesLengthBeyondTheFileIsAWrongSize) {
  Bytes file = buildQm({{1, u"x", "", ""}});
  file[30] = 0xFF;  // L2's most significant byte.
  EXPECT_FALSE(read(file));
  EXPECT_EQ(lastMessage(dialogs), u"Wrong size of file \"" + path + u"\"");
}

TEST_F(QmReaderTest, AContextLengthNearTheLimitIsAWrongSize) {
  Bytes file = buildQm({{1, u"x", "", ""}}, Bytes{1});
  file[48] = 0xFF;
  file[49] = 0xFF;
  file[50] = 0xFF;
  file[51] = 0xFF;
  EXPECT_FALSE(read(file));
  EXPECT_EQ(lastMessage(dialogs), u"Wrong size of file \"" + path + u"\"");
}

TEST_F(QmReaderTest, ManyEntriesMayPointAtOneTinyRecord) {
  std::vector<QmIndexEntry> index(5000, QmIndexEntry{3, 0});
  ASSERT_TRUE(read(assembleQm({.index = index, .messages = writerRecord(3, u"t")})));
  EXPECT_EQ(document.translations.count(), 5000);
  EXPECT_EQ(document.translations.get(4999), u"t");
}

TEST_F(QmReaderTest, NonCharacterUnitsAreKeptAsTheyAre) {
  const char16_t units[] = {0xD800, 0xFFFF, 0xDC00, 0};
  ASSERT_TRUE(read(buildQm({{1, units, "\xFF\xFE", ""}})));
  EXPECT_THAT(translations(), ElementsAre(std::u16string(units)));
  EXPECT_EQ(document.sectionTexts.get(0), "\xFF\xFE");
}

}  // namespace
}  // namespace sorvane::test
