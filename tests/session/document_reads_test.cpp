#include "session_fixture.h"

#include <gmock/gmock.h>

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
// first file that fails, every one exactly once.
TEST_F(DocumentReadsTest, BoxesComeInFileOrderUpToTheFirstFailure) {
  const std::u16string good = folder.write("good.qm", fileWithComment());
  const std::u16string bad = folder.write("bad.qm", Bytes(40, 0x42));
  const std::u16string badBox = u"Invalid header in \"" + bad + u"\"";
  const struct {
    std::u16string oldOriginal, newOriginal, mod;
    std::vector<std::u16string> boxes;
  } cases[] = {
      {good,
       good,
       good,
       {std::u16string(kNotice), std::u16string(kNotice), std::u16string(kNotice)}},
      {bad, good, good, {std::u16string(kNotice), std::u16string(kNotice), badBox}},
      {good, good, bad, {std::u16string(kNotice), badBox}},
      {good, bad, good, {badBox}},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    const bool opened = openModUpdate(c.oldOriginal, c.newOriginal, c.mod);
    EXPECT_EQ(opened, c.boxes.size() == 3 && c.boxes.back() == kNotice);
    EXPECT_THAT(dialogs.messageTexts(), ElementsAreArray(c.boxes));
    if (!opened) expectNothingLoaded();
  }
}

// A Mod that is not there yet starts as the new original; its second read
// keeps its boxes like the others.
TEST_F(DocumentReadsTest, ANewModIsReadFromTheOriginalWithItsOwnBoxes) {
  const std::u16string good = folder.write("good.qm", fileWithComment());
  ASSERT_TRUE(openTraditional(good, folder.widePath("missing.qm")));
  EXPECT_THAT(dialogs.messageTexts(),
              ElementsAreArray({std::u16string(kNotice), std::u16string(kNotice)}));
  EXPECT_EQ(session.mod().translations.get(0), u"a");
}

}  // namespace
}  // namespace sorvane::test
