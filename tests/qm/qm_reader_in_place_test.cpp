// Files are read straight into the document's text block, with texts moved
// down in place. Reading through a separate buffer copies every text out
// instead; both must give the same document, whatever the records' order.

#include "qm/qm_reader_fixture.h"
#include "widetext/line_store.h"

#include <gmock/gmock.h>

#include <optional>

namespace sorvane::test {
namespace {

struct Layout {
  const char* name;
  std::vector<QmIndexEntry> index;
  Bytes messages;
};

std::vector<Layout> layouts() {
  const Bytes a = writerRecord(1, u"Hello", "S");
  const Bytes b = writerRecord(2, u"", "Odd");
  const Bytes c = writerRecord(3, u"W\u00F6rld\u0000tail", "ab", "c");
  const Bytes d = writerRecord(4, u"z");
  const auto at = [](std::initializer_list<const Bytes*> before) {
    std::uint32_t offset = 0;
    for (const Bytes* record : before) offset += static_cast<std::uint32_t>(record->size());
    return offset;
  };
  const Bytes all = join({a, b, c, d});
  // A record hidden in the text of the one before it: the first text must
  // not be moved over it.
  const Bytes inner = join({translationItem(u"x"), {0x05}});
  const Bytes outer = join({{0x03}, be32(static_cast<std::uint32_t>(inner.size())), inner, {0x05}});
  return {
      {"ascending, some at odd offsets",
       {{1, 0}, {2, at({&a})}, {3, at({&a, &b})}, {4, at({&a, &b, &c})}},
       all},
      {"descending", {{4, at({&a, &b, &c})}, {3, at({&a, &b})}, {2, at({&a})}, {1, 0}}, all},
      {"a record shared", {{1, 0}, {2, 0}, {3, at({&a})}}, join({a, b})},
      {"a record inside the text before it", {{1, 0}, {2, 5}}, outer},
      {"an odd byte count, no translation, plural forms",
       {{1, 0}, {2, 9}, {3, 15}},
       join({{0x03},
             be32(3),
             {0x00, 0x41, 0x42},
             {0x05},
             {0x03},
             be32(0xFFFFFFFF),
             {0x05},
             translationItem(u"one"),
             translationItem(u"two"),
             {0x05}})},
  };
}

class QmReaderInPlaceTest : public QmReaderTest {};

TEST_F(QmReaderInPlaceTest, GivesTheDocumentACopyingReadGives) {
  for (const Layout& layout : layouts()) {
    SCOPED_TRACE(layout.name);
    const Bytes file = assembleQm({.index = layout.index, .messages = layout.messages});
    QmReadBuffer buffer;
    QmReadOptions copying = allListsWithContext();
    copying.buffer = &buffer;
    QmDocument copied;
    ASSERT_TRUE(readQmFile(folder.write("copied.qm", file), copied, copying, dialogs));
    document.clear();
    ASSERT_TRUE(read(file));
    ASSERT_EQ(document.translations.count(), copied.translations.count());
    for (std::int32_t i = 0; i < copied.translations.count(); ++i) {
      EXPECT_EQ(document.translations.get(i), copied.translations.get(i)) << i;
      EXPECT_EQ(document.sectionTexts.get(i), copied.sectionTexts.get(i)) << i;
      EXPECT_EQ(document.subsectionTexts.get(i), copied.subsectionTexts.get(i)) << i;
      for (std::int32_t form = 1; form < copied.forms.count(i); ++form) {
        EXPECT_EQ(document.formText(i, form), copied.formText(i, form)) << i;
      }
    }
    EXPECT_EQ(document.hashes, copied.hashes);
    EXPECT_THAT(dialogs.calls(), ::testing::IsEmpty());
  }
}

// Views into an owned block beyond what a line's start field can name, and
// after the block's unused end was given back.
TEST(LineStoreOwnedBlock, ViewsAnywhereInALargeBlockSurviveTrimming) {
  constexpr std::size_t kUnits = std::size_t{20} << 20;
  LineStore<char> store;
  char* block = store.ownBlock(kUnits);
  const std::size_t starts[] = {0, (std::size_t{16} << 20) + 5, std::size_t{19} << 20};
  for (std::size_t start : starts) {
    std::fill_n(block + start, 4, static_cast<char>('a' + start % 23));
    store.addView(std::string_view(block + start, 4));
  }
  store.trimOwnedBlock(block, starts[2] + 4);
  for (std::size_t i = 0; i < std::size(starts); ++i) {
    EXPECT_EQ(store[i], std::string(4, static_cast<char>('a' + starts[i] % 23)));
    EXPECT_EQ(store[i].data(), block + starts[i]);
  }
}

// A copy shares the blocks it was made from, so that a Mod copied from
// its Original costs no second copy of the texts; what either store is
// given afterwards, and either's end, leaves the other's lines as they were.
TEST(LineStoreCopy, SharesItsBlocksAndOutlivesTheStoreItCameFrom) {
  constexpr std::size_t kUnits = std::size_t{2} << 20;
  std::optional<LineStore<char>> store(std::in_place);
  char* block = store->ownBlock(kUnits);
  std::fill_n(block, kUnits, 'v');
  store->addView(std::string_view(block, 3));
  store->addView(std::string_view(block + kUnits - 5, 5));
  store->add("stored");
  LineStore<char> copy = *store;
  EXPECT_EQ(copy[0].data(), block);
  EXPECT_EQ(copy[2].data(), (*store)[2].data());
  // The view past the end a trim would keep still reads after the trim.
  store->trimOwnedBlock(block, 3);
  store->add("after the copy");
  store->set(0, "set in the store");
  copy.add("the copy's own");
  copy.set(1, "set in the copy");
  EXPECT_EQ((*store)[1], "vvvvv");
  EXPECT_EQ((*store)[3], "after the copy");
  store.reset();
  EXPECT_EQ(copy[0], "vvv");
  EXPECT_EQ(copy[1], "set in the copy");
  EXPECT_EQ(copy[2], "stored");
  EXPECT_EQ(copy[3], "the copy's own");
  EXPECT_EQ(copy.size(), 4U);
}

}  // namespace
}  // namespace sorvane::test
