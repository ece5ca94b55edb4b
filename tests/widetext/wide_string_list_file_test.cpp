#include "support/temp_folder.h"
#include "widetext/byte_stream.h"
#include "widetext/wide_string_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sorvane {
namespace {

using test::Bytes;
using test::TempFolder;
using test::utf16Le;
using ::testing::ElementsAre;

std::vector<std::u16string> linesOf(const WideStringList& list) {
  std::vector<std::u16string> lines;
  for (std::int32_t i = 0; i < list.count(); ++i) lines.push_back(list.get(i));
  return lines;
}

class WideStringListFiles : public ::testing::Test {
 protected:
  TempFolder folder;
};

TEST_F(WideStringListFiles, AppendFromStreamStartsANewLineAfterTheExistingOnes) {
  folder.write("x.txt", utf16Le(u"x\r\n"));
  WideStringList list;
  list.add(u"a");
  ByteStream stream = ByteStream::openForReading(folder.widePath("x.txt"));
  ASSERT_TRUE(list.appendFromStream(stream));
  EXPECT_THAT(linesOf(list), ElementsAre(u"a", u"x"));
}

TEST_F(WideStringListFiles, AppendFromStreamReadsOnlyTheRestOfTheStream) {
  folder.write("x.txt", utf16Le(u"skip|keep"));
  WideStringList list;
  ByteStream stream = ByteStream::openForReading(folder.widePath("x.txt"));
  stream.seek(10);
  ASSERT_TRUE(list.appendFromStream(stream));
  EXPECT_THAT(linesOf(list), ElementsAre(u"keep"));
}

TEST_F(WideStringListFiles, AnEmptyRestChangesNothing) {
  folder.write("empty.txt", {});
  WideStringList list;
  list.add(u"a\rb");
  ByteStream stream = ByteStream::openForReading(folder.widePath("empty.txt"));
  ASSERT_TRUE(list.appendFromStream(stream));
  // Not even re-split: the line with the CR stays one line.
  EXPECT_THAT(linesOf(list), ElementsAre(u"a\rb"));
}

TEST_F(WideStringListFiles, AnOddByteCountIsRefusedWithTheListUnchanged) {
  folder.write("odd.txt", {'a', 0, 'b'});
  WideStringList list;
  list.add(u"kept");
  ByteStream stream = ByteStream::openForReading(folder.widePath("odd.txt"));
  const StreamLoadResult result = list.appendFromStream(stream);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.message, u"Wide strings streams must be of even length in bytes.");
  EXPECT_THAT(linesOf(list), ElementsAre(u"kept"));

  ByteStream again = ByteStream::openForReading(folder.widePath("odd.txt"));
  EXPECT_FALSE(list.loadFromStream(again));
  EXPECT_EQ(list.count(), 0);
}

TEST_F(WideStringListFiles, AByteOrderMarkIsOrdinaryText) {
  folder.write("bom.txt", utf16Le(u"\uFEFFfirst\r\nsecond"));
  WideStringList list;
  ASSERT_TRUE(list.loadFromFile(folder.widePath("bom.txt")));
  EXPECT_THAT(linesOf(list), ElementsAre(u"\uFEFFfirst", u"second"));
}

TEST_F(WideStringListFiles, LoadFromFileLeavesTheListEmptyOnFailure) {
  folder.write("odd.txt", {1, 2, 3});
  WideStringList list;
  list.add(u"a");
  EXPECT_FALSE(list.loadFromFile(folder.widePath("missing.txt")));
  EXPECT_EQ(list.count(), 0);
  list.add(u"a");
  EXPECT_FALSE(list.loadFromFile(folder.widePath("odd.txt")));
  EXPECT_EQ(list.count(), 0);
  list.add(u"a");
  EXPECT_FALSE(list.appendFromFile(folder.widePath("odd.txt")));
  EXPECT_THAT(linesOf(list), ElementsAre(u"a"));
}

TEST_F(WideStringListFiles, SaveToFileWritesUtf16LeLinesWithoutByteOrderMark) {
  WideStringList list;
  list.add(u"\u00E4=1");
  list.add(u"");
  ASSERT_TRUE(list.saveToFile(folder.widePath("out.txt")));
  EXPECT_EQ(folder.read("out.txt"), utf16Le(u"\u00E4=1\r\n\r\n"));

  WideStringList back;
  ASSERT_TRUE(back.loadFromFile(folder.widePath("out.txt")));
  EXPECT_THAT(linesOf(back), ElementsAre(u"\u00E4=1", u""));
}

TEST_F(WideStringListFiles, SavingAnEmptyListWritesAnEmptyFile) {
  folder.write("out.txt", {1, 2, 3, 4});
  WideStringList list;
  ASSERT_TRUE(list.saveToFile(folder.widePath("out.txt")));
  EXPECT_TRUE(folder.read("out.txt").empty());
}

TEST_F(WideStringListFiles, SaveToFileFailsWhenTheFileCantBeCreated) {
  WideStringList list;
  list.add(u"a");
  EXPECT_FALSE(list.saveToFile(folder.widePath("no/such/folder/out.txt")));
}

TEST_F(WideStringListFiles, SaveToStreamReportsAFailingWrite) {
  WideStringList list;
  list.add(u"a");
  ByteStream full = ByteStream::openForWriting(u"/dev/full");
  ASSERT_TRUE(full.isOpen());
  EXPECT_FALSE(list.saveToStream(full));
  EXPECT_EQ(full.error(), ENOSPC);
}

}  // namespace
}  // namespace sorvane
