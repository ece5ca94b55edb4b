#include "qm/qm_writer.h"
#include "qm_reader_fixture.h"

#include <gmock/gmock.h>

// What Qt's own files add to the plain format: blocks around the index and
// messages, plural forms, "no translation", Qt's end tag and comments.

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

Bytes block(std::uint8_t tag, const Bytes& data) { return join({{tag}, be32(data.size()), data}); }

Bytes absentTranslation() { return join({{0x03}, be32(0xFFFFFFFF)}); }

// A whole file: Qt's leading blocks, one record, and Qt's trailing blocks.
Bytes qtFile(const Bytes& leading, const Bytes& record, const Bytes& trailing) {
  const Bytes plain = assembleQm({.index = {{1, 0}}, .messages = record});
  return join({Bytes(plain.begin(), plain.begin() + 16), leading,
               Bytes(plain.begin() + 16, plain.end()), trailing});
}

TEST_F(QmReaderTest, QtsBlocksAreKeptWhereQtPutsThem) {
  const Bytes language = bytesOf("de_DE");
  const Bytes dependencies = join({be32(4), utf16Be(u"qt")});
  const Bytes rules = {1, 2, 3};
  const Bytes record = writerRecord(1, u"Hallo");
  struct Case {
    Bytes leading;
    Bytes trailing;
  };
  const Case cases[] = {
      {block(0xA7, language), {}},
      {join({block(0xA7, language), block(0x96, dependencies)}), block(0x88, rules)},
      {block(0x96, dependencies), join({block(0x2F, {9}), block(0x88, rules)})},
  };
  for (const Case& c : cases) {
    document.clear();
    ASSERT_TRUE(read(qtFile(c.leading, record, c.trailing)));
    EXPECT_THAT(translations(), ElementsAre(u"Hallo"));
    EXPECT_EQ(document.languageBlock.empty(), c.leading[0] != 0xA7);
    EXPECT_EQ(document.numerusRulesBlock, c.trailing.empty() ? Bytes{} : rules);
  }
  EXPECT_EQ(document.dependenciesBlock, dependencies);
  EXPECT_EQ(document.contextTable, Bytes{9});
  EXPECT_THAT(dialogs.calls(), IsEmpty());
}

TEST_F(QmReaderTest, BrokenQtBlocksKeepTodaysMessages) {
  const Bytes record = writerRecord(1, u"x");
  struct Case {
    Bytes leading;
    Bytes trailing;
    std::u16string message;
  };
  const Case cases[] = {
      {join({{0xA7}, be32(1000)}), {}, u"Invalid header in \"%s\""},
      {block(0xA7, bytesOf("a")), join({block(0x88, {1}), {0}}), u"Wrong size of file \"%s\""},
      {{}, join({block(0x88, {1}), block(0x2F, {2})}), u"Wrong size of file \"%s\""},
  };
  for (const Case& c : cases) {
    dialogs.clear();
    document.clear();
    EXPECT_FALSE(read(qtFile(c.leading, record, c.trailing)));
    std::u16string expected = c.message;
    expected.replace(expected.find(u"%s"), 2, path);
    EXPECT_THAT(dialogs.messageTexts(), ElementsAre(expected));
  }
}

TEST_F(QmReaderTest, QtRecordsGiveFormsAbsenceCommentsAndEndWithQtsTag) {
  const Bytes record = join({translationItem(u"one"),
                             absentTranslation(),
                             translationItem(u"many"),
                             byteTextItem(0x08, "verb"),
                             byteTextItem(0x06, "Open"),
                             byteTextItem(0x07, ""),
                             {0x01}});
  const Bytes compressed = join({absentTranslation(), byteTextItem(0x07, "Ctx"), {0x01}});
  const auto second = static_cast<std::uint32_t>(record.size());
  ASSERT_TRUE(
      read(assembleQm({.index = {{1, 0}, {2, second}}, .messages = join({record, compressed})})));
  EXPECT_THAT(translations(), ElementsAre(u"one", u""));
  EXPECT_EQ(document.forms.count(0), 3);
  EXPECT_EQ(document.formText(0, 2), u"many");
  EXPECT_TRUE(document.forms.absent(0, 1));
  EXPECT_FALSE(document.forms.absent(0, 0));
  EXPECT_TRUE(document.forms.absent(1, 0));
  EXPECT_EQ(document.comments.view(0), "verb");
  EXPECT_EQ(document.sectionTexts.view(1), "Ctx");
  EXPECT_TRUE(document.qtRecords);

  // Written back, Qt's shape and every form survive.
  const std::vector<std::int32_t> order = {0, 1};
  const QmFileBytes written = buildQmFile(document, order, {}).value();
  QmDocument again;
  ASSERT_TRUE(readQmFile(folder.write("again.qm", Bytes(written.begin(), written.end())), again, {},
                         dialogs));
  EXPECT_EQ(again.forms.count(0), 3);
  EXPECT_TRUE(again.forms.absent(0, 1) && again.forms.absent(1, 0));
  EXPECT_EQ(again.comments.view(0), "verb");
  EXPECT_EQ(again.forms.marks(0) & EntryForms::kSourceAndContext, EntryForms::kSourceAndContext);
  EXPECT_EQ(again.sectionTexts.view(1), "Ctx");
}

}  // namespace
}  // namespace sorvane::test
