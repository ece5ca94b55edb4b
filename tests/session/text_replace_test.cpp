#include "session/text_replace.h"

#include "session/editing.h"
#include "session/session_fixture.h"

#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

std::string narrow(std::u16string_view text) { return {text.begin(), text.end()}; }

TEST(TextReplacer, ReplacesEveryMatchAsTheQuerySays) {
  const struct {
    ReplaceQuery query;
    std::u16string text;
    std::optional<std::u16string> replaced;  // nothing: no match
  } cases[] = {
      {{.pattern = u"open", .replacement = u"Load"}, u"Open, reopen", u"Load, reLoad"},
      {{.pattern = u"open", .replacement = u"Load", .matchCase = true}, u"Open", std::nullopt},
      {{.pattern = u"file", .replacement = u"item", .wholeWords = true},
       u"file files file.",
       u"item files item."},
      {{.pattern = u"\u00E4rger", .replacement = u"Zorn", .wholeWords = true},
       u"\u00C4rger \u00C4rgernis",
       u"Zorn \u00C4rgernis"},
      // Plain text has no special characters, in the pattern or the
      // replacement.
      {{.pattern = u"(1) $", .replacement = u"$1 \\"}, u"a (1) $", u"a $1 \\"},
      {{.pattern = u"(\\w+) (\\w+)", .replacement = u"$2 $1", .regex = true},
       u"Open file",
       u"file Open"},
      {{.pattern = u"%(\\d)", .replacement = u"%L$1", .regex = true}, u"%1 of %2", u"%L1 of %L2"},
      {{.pattern = u"x", .replacement = u"\\$1", .regex = true}, u"x", u"$1"},
      {{.pattern = u"^", .replacement = u"> ", .regex = true}, u"text", u"> text"},
      // Accelerators: a mark in the match stays at its place, "&&" is an "&".
      {{.pattern = u"Quit", .replacement = u"Exit", .ignoreAccelerators = true},
       u"&Quit",
       u"&Exit"},
      {{.pattern = u"Save As", .replacement = u"Store As", .ignoreAccelerators = true},
       u"Save &As...",
       u"Store &As..."},
      {{.pattern = u"Save As", .replacement = u"Keep", .ignoreAccelerators = true},
       u"Save &As",
       u"Kee&p"},
      {{.pattern = u"& B", .replacement = u"and B", .ignoreAccelerators = true},
       u"A && B",
       u"A and B"},
      {{.pattern = u"Quit", .replacement = u"Exit"}, u"&Quit", u"&Exit"},
      {{.pattern = u"Qu", .replacement = u"X"}, u"Q&uit", std::nullopt},
      {{.pattern = u"absent", .replacement = u"x"}, u"text", std::nullopt},
      {{.pattern = u"same", .replacement = u"same"}, u"same", std::nullopt},
  };
  for (const auto& c : cases) {
    std::u16string error;
    std::optional<TextReplacer> replacer = TextReplacer::compile(c.query, &error);
    ASSERT_TRUE(replacer) << narrow(error);
    EXPECT_EQ(replacer->replaced(c.text), c.replaced)
        << narrow(c.query.pattern) << " in " << narrow(c.text);
  }
}

TEST(TextReplacer, AQueryThatCantBeUsedSaysWhy) {
  const struct {
    ReplaceQuery query;
    std::u16string error;
  } cases[] = {
      {{.pattern = u"(open", .replacement = u"", .regex = true},
       u"The regular expression is not valid: mismatched paren at character 6."},
      {{.pattern = u"(a)(b)", .replacement = u"$3", .regex = true},
       u"The replacement names group $3, but the regular expression has 2 group(s)."},
      {{.pattern = u"", .replacement = u"x"}, u"Type the text to replace."},
  };
  for (const auto& c : cases) {
    std::u16string error;
    EXPECT_FALSE(TextReplacer::compile(c.query, &error));
    EXPECT_EQ(error, c.error);
  }
}

class ReplaceInSessionTest : public SessionTest {};

// Each plural form is a row of its own; one undo puts every text back
// exactly, the originals are never touched.
TEST_F(ReplaceInSessionTest, ReplacesModTextsOfEveryFormAsOneUndoableStep) {
  const Bytes english = assembleQm({.index = {{1, 0}},
                                    .messages = join({translationItem(u"%n file"),
                                                      translationItem(u"%n files"),
                                                      byteTextItem(0x06, "%n file(s)"),
                                                      byteTextItem(0x07, "Main"),
                                                      {0x01}}),
                                    .language = bytesOf("en"),
                                    .numerusRules = Bytes{0x01, 0x01}});
  ASSERT_TRUE(openTraditional(folder.write("en.qm", english), u""));
  ASSERT_EQ(session.rowCount(), 2);
  const std::vector<std::u16string> before = modTexts();
  std::optional<TextReplacer> replacer =
      TextReplacer::compile({.pattern = u"file", .replacement = u"Datei"});
  ASSERT_TRUE(replacer);
  const std::vector<Replacement> found = findReplacements(session, nullptr, *replacer);
  ASSERT_EQ(found.size(), 2U);
  EXPECT_EQ(found[1].after, u"%n Dateis");
  EXPECT_EQ(applyReplacements(session, found), 2);
  EXPECT_EQ(modTexts(), (std::vector<std::u16string>{u"%n Datei", u"%n Dateis"}));
  EXPECT_EQ(session.rowOriginalText(0), u"%n file");
  EXPECT_TRUE(session.modified());
  ASSERT_TRUE(undo(session));
  EXPECT_EQ(modTexts(), before);
  EXPECT_FALSE(session.undoLog().canUndo());
  ASSERT_TRUE(redo(session));
  EXPECT_EQ(modTexts(), (std::vector<std::u16string>{u"%n Datei", u"%n Dateis"}));
}

}  // namespace
}  // namespace sorvane::test
