#include "qm/qm_format.h"
#include "qm/qm_reader_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::u16string_view kCommentNotice =
    u"Error. If you see this message, please report me about it.";

TEST_F(QmReaderTest, ReadsTheSmallestWrittenFile) {
  // One entry, hash 12345678, translation "Hi": the 49 bytes of a minimal file.
  const Bytes file = {0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95, 0xCD, 0x21, 0x1C, 0xBF, 0x60,
                      0xA1, 0xBD, 0xDD, 0x42, 0x00, 0x00, 0x00, 0x08, 0x12, 0x34, 0x56, 0x78, 0x00,
                      0x00, 0x00, 0x00, 0x69, 0x00, 0x00, 0x00, 0x0F, 0x03, 0x00, 0x00, 0x00, 0x04,
                      0x00, 0x48, 0x00, 0x69, 0x05, 0x12, 0x34, 0x56, 0x78, 0x01};
  ASSERT_EQ(file.size(), 49U);
  ASSERT_TRUE(read(file));
  EXPECT_THAT(translations(), ElementsAre(u"Hi"));
  EXPECT_THAT(document.hashes, ElementsAre(0x12345678U));
  EXPECT_EQ(document.sectionTexts.get(0), "");
  EXPECT_EQ(document.subsectionTexts.get(0), "");
  EXPECT_THAT(document.contextTable, IsEmpty());
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(QmReaderTest, ReadsEveryRecordShape) {
  const Bytes messages = join({
      translationItem(u"plain"),
      {kRecordEndTag},
      translationItem(u"sec"),
      byteTextItem(0x07, std::string("s\0", 2)),
      {0x05},
      translationItem(u"both"),
      byteTextItem(0x06, std::string("s\0", 2)),
      byteTextItem(0x07, std::string("u\0", 2)),
      {0xEE, 0xEE},
  });
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}, {2, 16}, {3, 35}}, .messages = messages})));
  EXPECT_THAT(translations(), ElementsAre(u"plain", u"sec", u"both"));
  EXPECT_EQ(document.sectionTexts.get(0), "");
  EXPECT_EQ(document.subsectionTexts.get(0), "");
  EXPECT_EQ(document.sectionTexts.get(1), "s");
  EXPECT_EQ(document.subsectionTexts.get(1), "");
  EXPECT_EQ(document.sectionTexts.get(2), "s");
  EXPECT_EQ(document.subsectionTexts.get(2), "u");
  EXPECT_THAT(document.hashes, ElementsAre(1U, 2U, 3U));
}

TEST_F(QmReaderTest, ReadsWhatTheWritersRecordShapesHold) {
  ASSERT_TRUE(read(buildQm({{0xA, u"one", "", ""},
                            {0xB, u"two", "Section", ""},
                            {0xC, u"three", "Source text", "Context"}})));
  EXPECT_THAT(translations(), ElementsAre(u"one", u"two", u"three"));
  EXPECT_EQ(document.sectionTexts.get(1), "Section");
  EXPECT_EQ(document.sectionTexts.get(2), "Source text");
  EXPECT_EQ(document.subsectionTexts.get(2), "Context");
}

TEST_F(QmReaderTest, TwoEntriesMayShareOneRecord) {
  const Bytes messages = join({writerRecord(7, u"shared", "s", "u")});
  ASSERT_TRUE(read(assembleQm({.index = {{7, 0}, {8, 0}}, .messages = messages})));
  EXPECT_THAT(translations(), ElementsAre(u"shared", u"shared"));
  EXPECT_THAT(document.hashes, ElementsAre(7U, 8U));
  EXPECT_EQ(document.subsectionTexts.get(1), "u");
}

TEST_F(QmReaderTest, EntriesComeInIndexOrderNotRecordOrder) {
  const Bytes messages = join({writerRecord(1, u"first"), writerRecord(2, u"second")});
  ASSERT_TRUE(read(assembleQm({.index = {{2, 21}, {1, 0}}, .messages = messages})));
  EXPECT_THAT(translations(), ElementsAre(u"second", u"first"));
  EXPECT_THAT(document.hashes, ElementsAre(2U, 1U));
}

TEST_F(QmReaderTest, IndexBytesBeyondWholeEntriesAreSkipped) {
  ASSERT_TRUE(read(assembleQm(
      {.index = {{5, 0}}, .indexPadding = {9, 9, 9, 9}, .messages = writerRecord(5, u"x")})));
  EXPECT_THAT(translations(), ElementsAre(u"x"));
}

TEST_F(QmReaderTest, AnIndexShorterThanOneEntryGivesAnEmptyDocument) {
  ASSERT_TRUE(read(assembleQm({.indexPadding = {1, 2, 3}, .messages = writerRecord(5, u"x")})));
  EXPECT_EQ(document.translations.count(), 0);
  EXPECT_THAT(document.hashes, IsEmpty());
}

TEST_F(QmReaderTest, KeepsTheContextTableOnlyWhenAsked) {
  const Bytes file = buildQm({{1, u"x", "", ""}}, Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x00});
  ASSERT_TRUE(read(file));
  EXPECT_THAT(document.contextTable, ElementsAre(0xDE, 0xAD, 0xBE, 0xEF, 0x00));

  QmDocument other;
  other.contextTable = {1, 2};
  ASSERT_TRUE(readQmFile(path, other, {.keepContextTable = false}, dialogs));
  EXPECT_THAT(other.contextTable, ElementsAre(1, 2));
}

TEST_F(QmReaderTest, AnEmptyContextBlockGivesAnEmptyTable) {
  document.contextTable = {1, 2, 3};
  ASSERT_TRUE(read(buildQm({{1, u"x", "", ""}}, Bytes{})));
  EXPECT_THAT(document.contextTable, IsEmpty());
}

TEST_F(QmReaderTest, AFileWithoutContextBlockEmptiesAKeptTable) {
  document.contextTable = {1, 2, 3};
  ASSERT_TRUE(read(buildQm({{1, u"x", "", ""}})));
  EXPECT_THAT(document.contextTable, IsEmpty());
}

TEST_F(QmReaderTest, TranslationsEndAtAZeroCodeUnit) {
  const Bytes messages =
      join({translationItem(u""), {0x05}, translationItem(std::u16string(u"ab\0cd", 5)), {0x05}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}, {2, 6}}, .messages = messages})));
  EXPECT_THAT(translations(), ElementsAre(u"", u"ab"));
}

TEST_F(QmReaderTest, AnOddTranslationLengthLeavesTheLastByteOut) {
  const Bytes messages = join({{0x03}, be32(5), {0x00, 0x41, 0x00, 0x42, 0x43}, {0x05}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_THAT(translations(), ElementsAre(u"AB"));
}

TEST_F(QmReaderTest, EightBitTextsEndAtTheirFirstZeroByteOrTheirLength) {
  const Bytes messages = join({translationItem(u"a"),
                               byteTextItem(0x06, std::string("abc\0", 4)),
                               byteTextItem(0x07, "abc"),
                               translationItem(u"b"),
                               byteTextItem(0x06, std::string("x\0yz", 4)),
                               {0x05}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}, {2, 24}}, .messages = messages})));
  EXPECT_EQ(document.sectionTexts.get(0), "abc");
  EXPECT_EQ(document.subsectionTexts.get(0), "abc");
  EXPECT_EQ(document.sectionTexts.get(1), "x");
  EXPECT_EQ(document.subsectionTexts.get(1), "");
}

TEST_F(QmReaderTest, BytesAfterASubsectionAreNotRead) {
  const Bytes messages = join({translationItem(u"a"),
                               byteTextItem(0x06, std::string("s\0", 2)),
                               byteTextItem(0x07, std::string("u\0", 2)),
                               {0xFF}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_EQ(document.subsectionTexts.get(0), "u");
}

TEST_F(QmReaderTest, EmptyCommentsAreSilent) {
  const Bytes messages = join({translationItem(u"a"),
                               byteTextItem(0x08, ""),
                               byteTextItem(0x08, std::string("\0", 1)),
                               {0x05}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(QmReaderTest, ANonEmptyCommentShowsTheNoticeAndReadingGoesOn) {
  const Bytes messages = join({translationItem(u"a"),
                               byteTextItem(0x08, std::string("x\0", 2)),
                               byteTextItem(0x08, ""),
                               byteTextItem(0x06, std::string("s\0", 2)),
                               {0x05}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_EQ(document.sectionTexts.get(0), "s");
  ASSERT_EQ(dialogs.calls().size(), 1U);
  const DialogCall& notice = dialogs.calls()[0];
  EXPECT_EQ(notice.text, kCommentNotice);
  EXPECT_EQ(notice.owner, DialogOwner::none);
  EXPECT_EQ(notice.caption, u"Sorvane");
  EXPECT_EQ(notice.buttons, MessageButtons::ok);
  EXPECT_EQ(notice.icon, MessageIcon::none);
}

TEST_F(QmReaderTest, TheCommentNoticeIsShownOnceAFileEvenWhenQuiet) {
  const Bytes record = join({translationItem(u"a"), byteTextItem(0x08, "xy"), {0x05}});
  const auto size = static_cast<std::uint32_t>(record.size());
  const Bytes file = assembleQm(
      {.index = {{1, 0}, {2, size}, {3, 2 * size}}, .messages = join({record, record, record})});
  for (const bool quiet : {false, true}) {
    dialogs.clear();
    document.clear();
    ASSERT_TRUE(read(file, {.quiet = quiet}));
    EXPECT_THAT(dialogs.messageTexts(), ElementsAre(kCommentNotice));
  }
}

// Qt writes its disambiguation comments into its own record shape (ending
// with 0x01): they are part of the format, and no notice is due.
TEST_F(QmReaderTest, CommentsInQtsRecordShapeShowNoNotice) {
  const Bytes messages = join({translationItem(u"a"),
                               byteTextItem(0x08, "verb"),
                               byteTextItem(0x06, "Open"),
                               byteTextItem(0x07, "Main"),
                               {0x01}});
  ASSERT_TRUE(read(assembleQm({.index = {{1, 0}}, .messages = messages})));
  EXPECT_EQ(document.comments.get(0), "verb");
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(QmReaderTest, CollectsOnlyTranslationsWhenAsked) {
  ASSERT_TRUE(read(buildQm({{1, u"x", "s", "u"}, {2, u"y", "", ""}}),
                   {.lists = QmLists::translationsOnly}));
  EXPECT_THAT(translations(), ElementsAre(u"x", u"y"));
  EXPECT_EQ(document.sectionTexts.count(), 0);
  EXPECT_EQ(document.subsectionTexts.count(), 0);
  EXPECT_THAT(document.hashes, IsEmpty());
}

TEST_F(QmReaderTest, AppendsToListsThatAlreadyHoldEntries) {
  document.translations.add(u"earlier");
  document.hashes.push_back(99);
  ASSERT_TRUE(read(buildQm({{1, u"x", "", ""}})));
  EXPECT_THAT(translations(), ElementsAre(u"earlier", u"x"));
  EXPECT_THAT(document.hashes, ElementsAre(99U, 1U));
}

}  // namespace
}  // namespace sorvane::test
