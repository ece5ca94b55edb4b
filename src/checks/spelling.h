#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sorvane {

// A word of a text, as UTF-16 offsets into it.
struct TextWord {
  std::size_t start = 0;
  std::size_t length = 0;
};

// The words of a translation worth checking: ICU's word breaks over the
// text with Qt's place markers (%1, %L1, %n), accelerator marks (&x, &&),
// rich-text tags and entities, URLs and e-mail addresses left out; words
// with a digit, and words that stand in the original text too, in any case
// (names, product words, technical terms), are skipped. An accelerator mark inside a word
// ("Fi&le") does not split it.
std::vector<TextWord> wordsToCheck(std::u16string_view text, std::u16string_view original);

// A word as a dictionary reads it: UTF-8, with the accelerator marks taken
// out and U+2019 as the apostrophe it stands for.
std::string dictionaryForm(std::u16string_view text, TextWord word);

// A Hunspell dictionary, read with Nuspell, and the user's own words for
// its language. Checking and suggesting are safe on several threads.
class SpellChecker {
 public:
  // The dictionary for a language code ("de", "pt_BR", "sr_Latn"): the
  // code itself, then the language with its usual country ("de" is
  // "de_DE"), then the language alone, in the folders Nuspell searches
  // (and folders, when given, before them). Nothing when none is there.
  static std::unique_ptr<SpellChecker> forLanguage(std::string_view code,
                                                   const std::vector<std::string>& folders = {});
  // The Debian package that holds the dictionary for a code:
  // "hunspell-de-de" for "de".
  static std::string dictionaryPackage(std::string_view code);

  ~SpellChecker();
  SpellChecker(const SpellChecker&) = delete;
  SpellChecker& operator=(const SpellChecker&) = delete;

  // The dictionary's name, as its file is called ("de_DE").
  const std::string& dictionaryName() const { return name_; }

  bool isCorrect(std::string_view utf8Word) const;
  // Up to five suggestions, best first.
  std::vector<std::u16string> suggestions(std::u16string_view word) const;

  // The misspelt words of a translation, among wordsToCheck.
  std::vector<TextWord> misspelt(std::u16string_view text, std::u16string_view original) const;

  // The user's own words: read from and added to a file of one word a
  // line (created with its folder when needed). False when the word could
  // not be written; it counts as correct for this run all the same.
  void loadPersonalWords(std::u16string_view path);
  bool addPersonalWord(std::u16string_view word);
  // Words taken as correct until the program ends.
  void ignore(std::u16string_view word);

 private:
  struct Dictionary;
  SpellChecker();
  std::unique_ptr<Dictionary> dictionary_;
  std::string name_;
  std::u16string personalPath_;
  std::unordered_set<std::string> ownWords_;
};

// "No spelling dictionary for de: install the package hunspell-de-de".
std::u16string spellingDictionaryMissing(std::string_view language);

// $XDG_DATA_HOME/sorvane/words-LANG.txt (~/.local/share when unset); empty
// without a home folder.
std::u16string personalWordsPath(std::string_view language);

}  // namespace sorvane
