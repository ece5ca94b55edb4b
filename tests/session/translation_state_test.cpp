#include "session/translation_state.h"

#include "checks/translation_checks.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/row_problems.h"
#include "session/translation_progress.h"
#include "session_fixture.h"

#include <gmock/gmock.h>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

// A file of Qt's shape: a language block, one plain message and one plural
// message of the given forms ("" for "no translation").
Bytes qtFile(std::string_view language, std::u16string_view plain,
             const std::vector<std::u16string>& forms) {
  Bytes plural;
  for (const std::u16string& form : forms) {
    plural =
        join({plural, form.empty() ? Bytes{0x03, 0xFF, 0xFF, 0xFF, 0xFF} : translationItem(form)});
  }
  const Bytes first = join(
      {translationItem(plain), byteTextItem(0x06, "Open"), byteTextItem(0x07, "Main"), {0x01}});
  const Bytes second =
      join({plural, byteTextItem(0x06, "%n file(s)"), byteTextItem(0x07, "Main"), {0x01}});
  const std::optional<PluralLanguage> rules = pluralLanguage(language);
  return assembleQm(
      {.index = {{qtMessageHash("Open", ""), 0},
                 {qtMessageHash("%n file(s)", ""), static_cast<std::uint32_t>(first.size())}},
       .messages = join({first, second}),
       .language = language.empty() ? std::nullopt : std::optional<Bytes>(bytesOf(language)),
       .numerusRules =
           rules && !rules->rules.empty() ? std::optional<Bytes>(rules->rules) : std::nullopt});
}

class TranslationStateTest : public SessionTest {
 protected:
  std::vector<std::string_view> states() const {
    std::vector<std::string_view> names;
    const bool differ = modLanguageDiffersFromOriginal(session);
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      names.push_back(translationStateName(messageState(session, row, differ)));
    }
    return names;
  }
};

TEST_F(TranslationStateTest, EachMessageIsUntranslatedIncompleteOrTranslated) {
  const std::vector<std::u16string> english = {u"%n file", u"%n files"};
  const struct Case {
    const char* name;
    std::string_view originalLanguage;
    std::string_view modLanguage;
    std::u16string plain;
    std::vector<std::u16string> forms;
    std::vector<std::string_view> expected;
  } cases[] = {
      // A modder's copy in the Original's language: identical is unchanged.
      {"copy", "en", "en", u"Open", english, {"translated", "translated", "translated"}},
      // In another language the Original's text is left to translate; a
      // language without its territory is the same language.
      {"identical", "en", "de", u"Open", english, {"untranslated", "untranslated", "untranslated"}},
      {"no original language",
       "",
       "de",
       u"Open",
       english,
       {"untranslated", "untranslated", "untranslated"}},
      {"territory", "pt_BR", "pt", u"Open", english, {"translated", "translated", "translated"}},
      {"translated",
       "en",
       "de",
       u"\u00D6ffnen",
       {u"%n Datei", u"%n Dateien"},
       {"translated", "translated", "translated"}},
      {"no translation",
       "en",
       "de",
       u"",
       {u"", u""},
       {"untranslated", "untranslated", "untranslated"}},
      // Russian has three forms: two with text leave the message incomplete.
      {"incomplete",
       "en",
       "ru",
       u"\u041E\u0442\u043A\u0440\u044B\u0442\u044C",
       {u"%n \u0444\u0430\u0439\u043B", u"%n \u0444\u0430\u0439\u043B\u0430", u""},
       {"translated", "incomplete", "incomplete", "incomplete"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string original =
        folder.write("en.qm", qtFile(c.originalLanguage, u"Open", english));
    ASSERT_TRUE(
        openTraditional(original, folder.write("mod.qm", qtFile(c.modLanguage, c.plain, c.forms))));
    EXPECT_EQ(states(), c.expected);
  }
}

TEST_F(TranslationStateTest, CountsAndProblemsFollowEveryStore) {
  const std::u16string original =
      folder.write("en.qm", qtFile("en", u"Open", {u"%n file", u"%n files"}));
  ASSERT_TRUE(openTraditional(original, u""));
  ASSERT_TRUE(changeModLanguage(session, *pluralLanguage("ru")));
  TranslationProgress progress;
  RowProblems problems;
  progress.computeAll(session);
  problems.checkAll(session);
  EXPECT_EQ(progress.counts().untranslated.messages, 1);
  EXPECT_EQ(progress.counts().incomplete.messages, 1);
  EXPECT_EQ(progress.counts().all.words, 1 + 2);
  // The third form's emptiness is a problem of every form of the message.
  EXPECT_EQ(problems.rowsWithProblems(), 3);
  EXPECT_EQ(problems.problemsOf(1).front().message,
            u"Qt shows the source text for every count until all 3 forms have a text");

  for (const auto& [row, text] : {std::pair{0, u"\u041E\u0442\u043A\u0440\u044B\u0442\u044C"},
                                  std::pair{3, u"%n \u0444\u0430\u0439\u043B\u043E\u0432"}}) {
    ASSERT_TRUE(commitEdit(session, row, text, false));
    progress.recheckRow(session, row);
    problems.recheckRow(session, row);
  }
  EXPECT_EQ(progress.counts().translated.messages, 2);
  EXPECT_EQ(progress.counts().translated.words, 3);
  EXPECT_EQ(problems.rowsWithProblems(), 0);
}

TEST_F(TranslationStateTest, APairOfDifferentMessagesIsAProblemOfItsRow) {
  // The Mod was made for an Original where "Type" was "Size": the same
  // number of messages, one of them another.
  const std::u16string original =
      writeQm("en.qm", {{1, u"Open", "Open", "Main"}, {2, u"Type", "Type", "Main"}});
  const std::u16string mod = writeQm(
      "de.qm", {{1, u"\u00D6ffnen", "Open", "Main"}, {3, u"Gr\u00F6\u00DFe", "Size", "Main"}});
  ASSERT_TRUE(openTraditional(original, mod));
  RowProblems problems;
  problems.checkAll(session);
  EXPECT_EQ(problems.mismatchedPairs(), 1);
  EXPECT_FALSE(problems.hasProblems(0));
  ASSERT_EQ(problems.problemsOf(1).size(), 1U);
  EXPECT_EQ(problems.problemsOf(1)[0].message,
            u"The Mod's entry here is another message's (source text \"Size\"): this Mod may have "
            u"been made for another Original");
}

TEST_F(TranslationStateTest, RemovingDroppedRowsIsOneStepThatUndoPutsBackExactly) {
  const std::u16string oldOriginal = writeQm(
      "old.qm",
      {{1, u"Open", "Open", "Main"}, {2, u"Size", "Size", "Main"}, {3, u"Kind", "Kind", "Main"}});
  const std::u16string newOriginal = writeQm("new.qm", {{1, u"Open", "Open", "Main"}});
  const std::u16string mod = writeQm("de.qm", {{1, u"\u00D6ffnen", "Open", "Main"},
                                               {2, u"Gr\u00F6\u00DFe", "Size", "Main"},
                                               {3, u"Art", "Kind", "Main"}});
  ASSERT_TRUE(openModUpdate(oldOriginal, newOriginal, mod));
  paths.mod = folder.widePath("saved.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  const Bytes before = folder.read("saved.qm");

  EXPECT_EQ(removeDroppedRows(session), 2);
  EXPECT_EQ(session.undoLog().undoPos(), 1);
  EXPECT_THAT(modTexts(), ElementsAre(u"\u00D6ffnen", u"", u""));
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  EXPECT_EQ(readBack("saved.qm").translations.count(), 1);
  // Saved with the new original, the Mod opens in "Traditional".
  SessionPaths traditional{u"", newOriginal, paths.mod};
  Session reopened;
  EXPECT_TRUE(reopened.openSession(SessionMode::traditional, traditional, dialogs));

  ASSERT_TRUE(undo(session).has_value());
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  EXPECT_EQ(folder.read("saved.qm"), before);
  EXPECT_EQ(removeDroppedRows(session), 2);
}

TEST_F(TranslationStateTest, NewAndChangedRowsAreLeftUntilTheirModTextChanges) {
  const std::u16string oldOriginal =
      writeQm("old.qm", {{1, u"Open", "Open", "Main"}, {2, u"Size", "Size", "Main"}});
  const std::u16string newOriginal = writeQm("new.qm", {{1, u"Open a file", "Open", "Main"},
                                                        {2, u"Size", "Size", "Main"},
                                                        {4, u"Type", "Type", "Main"}});
  const std::u16string mod = writeQm(
      "de.qm", {{1, u"\u00D6ffnen", "Open", "Main"}, {2, u"Gr\u00F6\u00DFe", "Size", "Main"}});
  ASSERT_TRUE(openModUpdate(oldOriginal, newOriginal, mod));
  TranslationProgress progress;
  progress.takeBaseline(session);
  const auto left = [&](RowState state) {
    const auto colour = progress.colours(session)[static_cast<std::size_t>(state)];
    return std::pair{colour.left, colour.rows};
  };
  EXPECT_EQ(left(RowState::changed), std::pair(1, 1));
  EXPECT_EQ(left(RowState::newString), std::pair(1, 1));
  ASSERT_TRUE(commitEdit(session, 0, u"Eine Datei \u00F6ffnen", false));
  ASSERT_TRUE(commitEdit(session, 2, u"Art", false));
  EXPECT_EQ(left(RowState::changed), std::pair(0, 1));
  EXPECT_EQ(left(RowState::newString), std::pair(0, 1));
  EXPECT_TRUE(progress.seenTo(session, 0));
  EXPECT_FALSE(progress.seenTo(session, 1));
  // Undone, the blue row is left again.
  ASSERT_TRUE(undo(session).has_value());
  ASSERT_TRUE(undo(session).has_value());
  EXPECT_EQ(left(RowState::changed), std::pair(1, 1));
}

}  // namespace
}  // namespace sorvane::test
