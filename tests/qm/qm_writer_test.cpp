#include "qm/qm_writer.h"

#include "qm/qm_reader_fixture.h"

#include "platform/utf8.h"

#include <gmock/gmock.h>

#include <cerrno>

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

// A large file's records are made in pieces on two threads: every record
// comes back in the order given, and a sink that fails stops the writing
// with its error.
TEST_F(QmWriterRoundTrip, ALargeFileMadeInPiecesReadsBackInItsOrder) {
  constexpr int kEntries = 3 * 4096 + 5;
  std::vector<QmEntry> entries;
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    entries.push_back({static_cast<std::uint32_t>(i), fromUtf8("Text " + n),
                       i % 3 == 0 ? "" : "S" + n, i % 2 == 0 ? "" : "U"});
  }
  const QmDocument source = documentOf(entries);
  std::vector<std::int32_t> order;
  for (int i = kEntries - 1; i >= 0; --i) order.push_back(i);
  ASSERT_TRUE(read(written(source, order)));
  ASSERT_EQ(document.translations.count(), kEntries);
  for (int at = 0; at < kEntries; ++at) {
    const QmEntry& entry = entries[static_cast<std::size_t>(kEntries - 1 - at)];
    ASSERT_EQ(document.translations.view(at), entry.text) << at;
    ASSERT_EQ(document.hashes[static_cast<std::size_t>(at)], entry.hash) << at;
    ASSERT_EQ(document.sectionTexts.view(at), entry.section) << at;
  }
  int pieces = 0;
  const int error = writeQmFile(source, order, {}, {}, [&pieces](std::span<const std::uint8_t>) {
    return ++pieces == 3 ? ENOSPC : 0;
  });
  EXPECT_EQ(error, ENOSPC);
  EXPECT_EQ(pieces, 3);
}

// However a record names its message for Qt (source text, context, both,
// twice the context, empty items, a comment after them, terminating zeros
// and the hash item of other writers), it is read and written back with the
// same items: a source text never becomes a context. Records in Qt's own
// shape stay in it; the others take the plain shape with the hash.
TEST_F(QmWriterRoundTrip, EveryWayOfNamingAMessageIsWrittenAsItWasRead) {
  const auto zeroed = [](std::string_view text) { return std::string(text) + '\0'; };
  const auto item = [](std::uint8_t tag, std::string_view stored) {
    return byteTextItem(tag, stored);
  };
  const struct Case {
    const char* what;
    Bytes items;  // after the translation
    Bytes saved;
  } cases[] = {
      {"msgfmt: empty comment, source, empty context",
       join({item(0x08, zeroed("")), item(0x06, zeroed("Day")), item(0x07, zeroed("")),
             recordEnd(9)}),
       join({item(0x06, zeroed("Day")), item(0x07, zeroed("")), recordEnd(9)})},
      {"msgfmt with msgctxt",
       join({item(0x08, zeroed("")), item(0x06, zeroed("Day")), item(0x07, zeroed("cal")),
             recordEnd(9)}),
       join({item(0x06, zeroed("Day")), item(0x07, zeroed("cal")), recordEnd(9)})},
      {"a source text alone", join({item(0x06, zeroed("Day")), recordEnd(9)}),
       join({item(0x06, zeroed("Day")), recordEnd(9)})},
      {"an empty source text alone", join({item(0x06, ""), recordEnd(9)}),
       join({item(0x06, zeroed("")), recordEnd(9)})},
      {"two contexts", join({item(0x07, zeroed("a")), item(0x07, zeroed("b")), recordEnd(9)}),
       join({item(0x07, zeroed("a")), item(0x07, zeroed("b")), recordEnd(9)})},
      {"an empty context", join({item(0x07, ""), recordEnd(9)}),
       join({item(0x07, zeroed("")), recordEnd(9)})},
      {"a comment after the context",
       join({item(0x06, zeroed("S")),
             item(0x07, zeroed("C")),
             {0x05},
             be32(9),
             item(0x08, zeroed("K")),
             {0x01}}),
       join({item(0x08, zeroed("K")), item(0x06, zeroed("S")), item(0x07, zeroed("C")),
             recordEnd(9)})},
      {"Qt's shape: comment, source, context",
       join({item(0x08, "verb"), item(0x06, "Open"), item(0x07, "Main"), {0x01}}),
       join({item(0x08, "verb"), item(0x06, "Open"), item(0x07, "Main"), {0x01}})},
      {"Qt's shape: an empty context alone", join({item(0x07, ""), {0x01}}),
       join({item(0x07, ""), {0x01}})},
      {"Qt's shape: a source text alone", join({item(0x06, "S"), {0x01}}),
       join({item(0x08, ""), item(0x06, "S"), {0x01}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    document.clear();
    ASSERT_TRUE(
        read(assembleQm({.index = {{9, 0}}, .messages = join({translationItem(u"T"), c.items})})));
    const Bytes file = written(document, {0});
    const Bytes expected =
        assembleQm({.index = {{9, 0}}, .messages = join({translationItem(u"T"), c.saved})});
    EXPECT_EQ(file, expected);
  }
}

TEST_F(QmWriterRoundTrip, AnEmptyDocumentIsAValidFileWithAnEmptyIndex) {
  const Bytes file = written(QmDocument{}, {});
  EXPECT_EQ(file.size(), 26U);
  // The reader refuses an index of zero length, as for any such file.
  EXPECT_FALSE(read(file));
}

}  // namespace
}  // namespace sorvane::test
