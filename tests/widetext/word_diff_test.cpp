#include "widetext/word_diff.h"

#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace sorvane {
namespace {

TEST(WordDiff, MarksTheWordsThatChanged) {
  struct Case {
    std::u16string before;
    std::u16string after;
    std::u16string marked;
  };
  const Case cases[] = {
      {u"Open the file", u"Open the file", u"Open the file"},
      {u"Open the file", u"Open a file", u"Open [-the-]{+a+} file"},
      {u"Save", u"Save all", u"Save{+ all+}"},
      {u"Save all files now", u"Save files", u"Save [-all -]files[- now-]"},
      {u"", u"New text", u"{+New text+}"},
      {u"Old text", u"", u"[-Old text-]"},
      {u"Cannot open %1.\nTry again.", u"Cannot read %1.\nTry again later.",
       u"Cannot [-open-]{+read+} %1.\nTry again{+ later+}."},
      {u"Datei öffnen", u"Datei schließen", u"Datei [-öffnen-]{+schließen+}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toLocal8Bit(c.before) + " -> " + toLocal8Bit(c.after));
    EXPECT_EQ(toLocal8Bit(markedWordDiff(c.before, c.after)), toLocal8Bit(c.marked));
  }
}

TEST(WordDiff, PiecesRebuildBothTexts) {
  const std::u16string before = u"one two three four five six seven";
  const std::u16string after = u"zero one three four six seven eight";
  std::u16string rebuiltBefore;
  std::u16string rebuiltAfter;
  for (const DiffPiece& piece : wordDiff(before, after)) {
    if (piece.kind != DiffPiece::Kind::added) rebuiltBefore += piece.text;
    if (piece.kind != DiffPiece::Kind::removed) rebuiltAfter += piece.text;
  }
  EXPECT_EQ(rebuiltBefore, before);
  EXPECT_EQ(rebuiltAfter, after);

  // Long texts are compared whole rather than word by word.
  std::u16string longText;
  for (int i = 0; i < 1000; ++i) longText += u"word ";
  EXPECT_EQ(wordDiff(longText, longText + u"x").size(), 2U);
}

}  // namespace
}  // namespace sorvane
