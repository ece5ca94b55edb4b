#include "checks/spelling.h"

#include "platform/text_codec.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

std::vector<std::string> wordsOf(std::u16string_view text, std::u16string_view original = u"") {
  std::vector<std::string> words;
  for (const TextWord word : wordsToCheck(text, original)) {
    words.push_back(dictionaryForm(text, word));
  }
  return words;
}

TEST(SpellingWords, SkipsWhatIsNoWordOfTheLanguage) {
  using Words = std::vector<std::string>;
  const struct {
    std::u16string text;
    std::u16string original;
    Words words;
  } cases[] = {
      {u"Datei %1 von %L2 (%n)", u"", Words{"Datei", "von"}},
      {u"&Datei \u00F6ffnen", u"", Words{"Datei", "\u00F6ffnen"}},
      {u"Fi&le && Ordner", u"", Words{"File", "Ordner"}},
      {u"<b>Fett</b> &amp; &#38; <a href=\"x\">Link</a>", u"", Words{"Fett", "Link"}},
      {u"Siehe https://example.org/hilfe oder www.qt.io", u"", Words{"Siehe", "oder"}},
      {u"Schreib an hilfe@example.org bitte", u"", Words{"Schreib", "an", "bitte"}},
      {u"MP3 und H264 und 2te", u"", Words{"und", "und"}},
      {u"don\u2019t can't", u"", Words{"don't", "can't"}},
      {u"Qt Creator startet", u"Start Qt Creator", Words{"startet"}},
      {u"Das Widget startet", u"the widget starts", Words{"Das", "startet"}},
      {u"\u041E\u0442\u043A\u0440\u044B\u0442\u044C \u0444\u0430\u0439\u043B", u"",
       Words{"\u041E\u0442\u043A\u0440\u044B\u0442\u044C", "\u0444\u0430\u0439\u043B"}},
      {u"", u"", Words{}},
      {u"... 42 %1", u"", Words{}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wordsOf(c.text, c.original), c.words) << toLocal8Bit(c.text);
  }
}

// A dictionary of its own, so that the search by code and the user's
// words are tested without any installed one.
class OwnDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.write("tt.aff", bytesOf("SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n"));
    folder.write("tt.dic", bytesOf("3\nhouse\ngarden\ntree\n"));
  }
  TempFolder folder;
};

TEST_F(OwnDictionaryTest, IsFoundByTheCodeThenTheLanguageAlone) {
  for (const char* code : {"tt", "tt_XX", "tt-Latn"}) {
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLanguage(code, {folder.path()});
    ASSERT_TRUE(checker) << code;
    EXPECT_EQ(checker->dictionaryName(), "tt") << code;
  }
  EXPECT_FALSE(SpellChecker::forLanguage("qq", {folder.path()}));
  EXPECT_FALSE(SpellChecker::forLanguage("", {folder.path()}));

  const std::unique_ptr<SpellChecker> checker = SpellChecker::forLanguage("tt", {folder.path()});
  std::vector<std::string> wrong;
  const std::u16string text = u"The &house, the gardn and %1 treees of Qt";
  for (const TextWord word : checker->misspelt(text, u"The Qt")) {
    wrong.push_back(dictionaryForm(text, word));
  }
  EXPECT_EQ(wrong, (std::vector<std::string>{"gardn", "and", "treees", "of"}));
  const std::vector<std::u16string> suggestions = checker->suggestions(u"gardn");
  ASSERT_FALSE(suggestions.empty());
  EXPECT_EQ(suggestions.front(), u"garden");
}

TEST_F(OwnDictionaryTest, TheUsersWordsAreKeptPerLanguageAndIgnoredOnesForTheRun) {
  const ScopedEnvironment data("XDG_DATA_HOME", folder.path("data"));
  const std::u16string path = personalWordsPath("tt");
  EXPECT_EQ(path, folder.widePath("data/sorvane/words-tt.txt"));
  {
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLanguage("tt", {folder.path()});
    checker->loadPersonalWords(path);
    EXPECT_FALSE(checker->isCorrect("Sorvane"));
    ASSERT_TRUE(checker->addPersonalWord(u"Sorvane"));
    ASSERT_TRUE(checker->addPersonalWord(u"Qt\u2019s"));
    checker->ignore(u"gardn");
    EXPECT_TRUE(checker->isCorrect("Sorvane"));
    EXPECT_TRUE(checker->isCorrect("gardn"));
  }
  const Bytes written = folder.read("data/sorvane/words-tt.txt");
  EXPECT_EQ(std::string(written.begin(), written.end()), "Qt's\nSorvane\n");
  const std::unique_ptr<SpellChecker> again = SpellChecker::forLanguage("tt", {folder.path()});
  again->loadPersonalWords(path);
  EXPECT_TRUE(again->isCorrect("Sorvane"));
  EXPECT_FALSE(again->isCorrect("gardn"));
}

TEST(SpellingDictionaries, NameTheDebianPackageThatHoldsThem) {
  const struct {
    const char* code;
    const char* package;
  } cases[] = {{"de", "hunspell-de-de"}, {"de_AT", "hunspell-de-at"}, {"ru", "hunspell-ru"},
               {"ru_RU", "hunspell-ru"}, {"pt_BR", "hunspell-pt-br"}, {"pt", "hunspell-pt-pt"},
               {"en", "hunspell-en-us"}, {"fr", "hunspell-fr"},       {"nb", "hunspell-no"},
               {"eo", "myspell-eo"},     {"sr_Latn", "hunspell-sr"}};
  for (const auto& c : cases) {
    EXPECT_EQ(SpellChecker::dictionaryPackage(c.code), c.package) << c.code;
  }
  EXPECT_EQ(spellingDictionaryMissing("de"),
            u"No spelling dictionary for de: install the package hunspell-de-de");
}

// Debian's dictionaries, when installed: German and Russian texts with
// planted misspellings.
TEST(InstalledDictionaries, FindPlantedMisspellingsInGermanAndRussian) {
  const struct {
    const char* code;
    std::u16string text;
    std::u16string original;
    std::vector<std::string> wrong;
  } cases[] = {
      {"de",
       u"Die &Datei %1 wurde nicht gefunnden. Bitte \u00FCberpr\u00FCfen Sie den Pfad.",
       u"The file %1 was not found. Please check the path.",
       {"gefunnden"}},
      {"de_DE", u"Speichern unter\u2026", u"Save as\u2026", {}},
      {"ru",
       u"\u0424\u0430\u0439\u043B \u043D\u0435 \u043D\u0430\u0439\u0434\u0435\u043D\u043D",
       u"File not found",
       {"\u043D\u0430\u0439\u0434\u0435\u043D\u043D"}},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLanguage(c.code);
    if (!checker) GTEST_SKIP() << "no dictionary for " << c.code;
    std::vector<std::string> wrong;
    for (const TextWord word : checker->misspelt(c.text, c.original)) {
      wrong.push_back(dictionaryForm(c.text, word));
    }
    EXPECT_EQ(wrong, c.wrong) << c.code;
  }
}

}  // namespace
}  // namespace sorvane::test
