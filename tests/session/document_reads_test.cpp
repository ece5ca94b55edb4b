#include "session_fixture.h"

#include "session/document_reads.h"

#include <gmock/gmock.h>

#include <array>
#include <stdexcept>

namespace sorvane::test {
namespace {

using ::testing::ElementsAreArray;

constexpr std::u16string_view kNotice =
    u"Error. If you see this message, please report me about it.";

// A file whose one record carries a comment: reading it shows the notice.
Bytes fileWithComment() {
  return assembleQm({.index = {{1, 0}},
                     .messages = join({translationItem(u"a"),
                                       byteTextItem(0x08, std::string("c\0", 2)),
                                       byteTextItem(0x06, std::string("s\0", 2)),
                                       {0x05}})});
}

class DocumentReadsTest : public SessionTest {};

// The files are read side by side, but the boxes come as if one after the
// other: in file order (new original, Mod, old original), none after the
// first file that fails; the comment notice once an Open.
TEST_F(DocumentReadsTest, BoxesComeInFileOrderUpToTheFirstFailure) {
  const std::u16string noted = folder.write("noted.qm", fileWithComment());
  const std::u16string plain = writeQm("plain.qm", {{1, u"a", "s", ""}});
  const std::u16string bad = folder.write("bad.qm", Bytes(40, 0x42));
  const std::u16string badBox = u"Invalid header in \"" + bad + u"\"";
  const std::u16string notice(kNotice);
  const struct {
    std::u16string oldOriginal, newOriginal, mod;
    std::vector<std::u16string> boxes;
  } cases[] = {
      {noted, noted, noted, {notice}},       {noted, plain, plain, {notice}},
      {bad, noted, plain, {notice, badBox}}, {noted, plain, bad, {badBox}},
      {bad, plain, noted, {notice, badBox}}, {noted, bad, noted, {badBox}},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    const bool opened = openModUpdate(c.oldOriginal, c.newOriginal, c.mod);
    EXPECT_EQ(opened, c.boxes.back() == kNotice);
    EXPECT_THAT(dialogs.messageTexts(), ElementsAreArray(c.boxes));
    if (!opened) expectNothingLoaded();
  }
}

// A Mod that is not there yet starts as the new original, read a second
// time; its notice is the same file's and shows once.
TEST_F(DocumentReadsTest, ANewModIsReadFromTheOriginalWithItsOwnBoxes) {
  const std::u16string good = folder.write("good.qm", fileWithComment());
  ASSERT_TRUE(openTraditional(good, folder.widePath("missing.qm")));
  EXPECT_THAT(dialogs.messageTexts(), ElementsAreArray({std::u16string(kNotice)}));
  EXPECT_EQ(session.mod().translations.get(0), u"a");
}

// A read that fails in its thread fails that file like any other cause,
// with the box a read on the user's thread shows.
TEST_F(DocumentReadsTest, AReadThatThrowsFailsItsFile) {
  const std::u16string good = writeQm("good.qm", {{1, u"a", "", ""}});
  QmDocument first;
  QmDocument second;
  std::array<DocumentRead, 2> reads;
  reads[0].path = good;
  reads[0].document = &first;
  reads[1].path = good;
  reads[1].document = &second;
  readDocuments(reads, [&second](std::u16string_view path, QmDocument& document,
                                 const QmReadOptions& options, DialogServices& boxes) {
    if (&document == &second) throw std::length_error("too long");
    return readQmFile(path, document, options, boxes);
  });
  EXPECT_TRUE(reads[0].ok);
  EXPECT_FALSE(reads[1].ok);
  reads[1].messages.replayTo(dialogs);
  EXPECT_THAT(dialogs.messageTexts(),
              ElementsAreArray({u"Not enough memory to read \"" + good + u"\""}));
}

}  // namespace
}  // namespace sorvane::test
