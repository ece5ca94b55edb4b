#include "qm/qm_writer.h"

#include "qm/qm_reader_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

QmDocument documentOf(const std::vector<QmEntry>& entries) {
  QmDocument document;
  for (const QmEntry& entry : entries) {
    document.translations.add(entry.text);
    document.sectionTexts.add(entry.section);
    document.subsectionTexts.add(entry.subsection);
    document.hashes.push_back(entry.hash);
  }
  return document;
}

Bytes written(const QmDocument& document, std::vector<std::int32_t> order,
              const Bytes& context = {}) {
  const QmFileBytes file = buildQmFile(document, order, context).value();
  return Bytes(file.begin(), file.end());
}

TEST(QmWriter, RecordSizesFollowTheShapes) {
  EXPECT_EQ(qmRecordSize(3, 0, 0), 17U);
  EXPECT_EQ(qmRecordSize(3, 3, 0), 26U);
  EXPECT_EQ(qmRecordSize(3, 3, 2), 34U);
  EXPECT_EQ(qmRecordSize(0, 0, 0), 11U);
  EXPECT_EQ(qmRecordSize(3, 0, 2), 25U);
}

TEST(QmWriter, WritesTheThreeRecordShapes) {
  const QmDocument document =
      documentOf({{0xA1, u"abc", "", ""}, {0xB2, u"abc", "abc", ""}, {0xC3, u"abc", "abc", "xy"}});
  const Bytes file = written(document, {0, 1, 2});
  const Bytes messages(file.begin() + 21 + 24 + 5, file.end());
  const Bytes expected = join({
      translationItem(u"abc"),
      recordEnd(0xA1),
      translationItem(u"abc"),
      byteTextItem(0x07, std::string("abc\0", 4)),
      recordEnd(0xB2),
      translationItem(u"abc"),
      byteTextItem(0x06, std::string("abc\0", 4)),
      byteTextItem(0x07, std::string("xy\0", 3)),
      recordEnd(0xC3),
  });
  EXPECT_EQ(messages, expected);
  EXPECT_EQ(messages.size(), 17U + 26U + 34U);
  // The index holds each hash with the running offset of its record.
  EXPECT_EQ(Bytes(file.begin() + 21, file.begin() + 45),
            join({be32(0xA1), be32(0), be32(0xB2), be32(17), be32(0xC3), be32(43)}));
}

TEST(QmWriter, ASubsectionWithoutSectionKeepsTheComputedSizeAndReadsBack) {
  const QmDocument document = documentOf({{7, u"abc", "", "xy"}, {8, u"z", "", ""}});
  const Bytes file = written(document, {0, 1});
  const Bytes record(file.begin() + 21 + 16 + 5, file.begin() + 21 + 16 + 5 + 25);
  EXPECT_EQ(record, join({translationItem(u"abc"),
                          {0x06},
                          be32(0),
                          byteTextItem(0x07, std::string("xy\0", 3)),
                          {0x01}}));
}

class QmWriterRoundTrip : public QmReaderTest {};

TEST_F(QmWriterRoundTrip, EveryShapeReadsBackIntoTheSameEntries) {
  const QmDocument source = documentOf({{1, u"", "", ""},
                                        {2, u"sec", "S", ""},
                                        {3, u"both\nlines", "S", "U"},
                                        {4, u"sub only", "", "U"}});
  ASSERT_TRUE(read(written(source, {3, 2, 1, 0}, {0xAA})));
  EXPECT_THAT(translations(), ElementsAre(u"sub only", u"both\nlines", u"sec", u""));
  EXPECT_THAT(document.hashes, ElementsAre(4U, 3U, 2U, 1U));
  EXPECT_EQ(document.sectionTexts.get(0), "");
  EXPECT_EQ(document.subsectionTexts.get(0), "U");
  EXPECT_EQ(document.sectionTexts.get(1), "S");
  EXPECT_EQ(document.subsectionTexts.get(1), "U");
  EXPECT_EQ(document.sectionTexts.get(2), "S");
  EXPECT_EQ(document.subsectionTexts.get(2), "");
  EXPECT_THAT(document.contextTable, ElementsAre(0xAA));
}

TEST_F(QmWriterRoundTrip, AnEmptyDocumentIsAValidFileWithAnEmptyIndex) {
  const Bytes file = written(QmDocument{}, {});
  EXPECT_EQ(file.size(), 26U);
  // The reader refuses an index of zero length, as for any such file.
  EXPECT_FALSE(read(file));
}

}  // namespace
}  // namespace sorvane::test
