#include "checks/spelling.h"

#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/text_codec.h"
#include "platform/user_folders.h"
#include "widetext/wildcard_match.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <nuspell/dictionary.hxx>
#include <nuspell/finder.hxx>

#include <algorithm>
#include <array>
#include <fstream>
#include <mutex>

namespace sorvane {

namespace {

bool isAsciiDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }
bool isSpace(char16_t unit) { return u_isUWhiteSpace(unit) != 0; }

// Blanks what is no word of the language, keeping every other unit at its
// place: place markers, tags, entities, "&&", URLs and e-mail addresses.
std::u16string maskedText(std::u16string_view text) {
  std::u16string masked(text);
  const auto blank = [&masked](std::size_t from, std::size_t to) {
    std::fill(masked.begin() + static_cast<std::ptrdiff_t>(from),
              masked.begin() + static_cast<std::ptrdiff_t>(std::min(to, masked.size())), u' ');
  };
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = text[i];
    if (unit == u'%') {
      std::size_t end = i + 1;
      if (end < size && text[end] == u'L') ++end;
      if (end < size && text[end] == u'n') {
        blank(i, end + 1);
      } else if (end < size && isAsciiDigit(text[end])) {
        while (end < size && isAsciiDigit(text[end])) ++end;
        blank(i, end);
      }
    } else if (unit == u'<' && i + 1 < size &&
               (u_isalpha(text[i + 1]) != 0 || text[i + 1] == u'/' || text[i + 1] == u'!')) {
      const std::size_t close = text.find(u'>', i);
      if (close != std::u16string_view::npos) blank(i, close + 1);
    } else if (unit == u'&' && i + 1 < size && text[i + 1] == u'&') {
      blank(i, i + 2);
      ++i;
    } else if (unit == u'&') {
      // An entity: "&amp;", "&#38;", "&#x26;".
      std::size_t end = i + 1;
      while (end < size && end - i <= 10 && (u_isalnum(text[end]) != 0 || text[end] == u'#')) ++end;
      if (end < size && text[end] == u';' && end > i + 1) blank(i, end + 1);
    }
  }
  // URLs and e-mail addresses, as the whole run of non-space units.
  for (std::size_t start = 0; start < size;) {
    while (start < size && isSpace(masked[start])) ++start;
    std::size_t end = start;
    while (end < size && !isSpace(masked[end])) ++end;
    const std::u16string_view token(std::u16string_view(masked).substr(start, end - start));
    const std::size_t at = token.find(u'@');
    if (token.find(u"://") != std::u16string_view::npos || token.starts_with(u"www.") ||
        (at != std::u16string_view::npos && at > 0 &&
         token.find(u'.', at) != std::u16string_view::npos)) {
      blank(start, end);
    }
    start = end;
  }
  return masked;
}

// The words of a text as ICU breaks it, with accelerator marks taken out
// first so that "Fi&le" is one word; offsets are the text's own.
std::vector<TextWord> lettersWords(std::u16string_view text) {
  const std::u16string masked = maskedText(text);
  std::u16string stripped;
  std::vector<std::size_t> origin;
  stripped.reserve(masked.size());
  origin.reserve(masked.size());
  for (std::size_t i = 0; i < masked.size(); ++i) {
    if (masked[i] == u'&' && i + 1 < masked.size() && !isSpace(masked[i + 1])) continue;
    stripped.push_back(masked[i]);
    origin.push_back(i);
  }
  std::vector<TextWord> words;
  if (stripped.empty()) return words;
  thread_local std::unique_ptr<icu::BreakIterator> breaks = [] {
    UErrorCode status = U_ZERO_ERROR;
    return std::unique_ptr<icu::BreakIterator>(
        icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
  }();
  if (!breaks) return words;
  const icu::UnicodeString alias(false, stripped.data(),
                                 static_cast<std::int32_t>(stripped.size()));
  breaks->setText(alias);
  std::int32_t start = breaks->first();
  for (std::int32_t end = breaks->next(); end != icu::BreakIterator::DONE;
       start = end, end = breaks->next()) {
    const std::int32_t status = breaks->getRuleStatus();
    if (status < UBRK_WORD_LETTER || status >= UBRK_WORD_LETTER_LIMIT) continue;
    const auto from = static_cast<std::size_t>(start);
    const auto to = static_cast<std::size_t>(end);
    if (std::any_of(stripped.begin() + start, stripped.begin() + end,
                    [](char16_t unit) { return u_isdigit(unit) != 0; })) {
      continue;
    }
    words.push_back({origin[from], origin[to - 1] + 1 - origin[from]});
  }
  return words;
}

std::u16string wordText(std::u16string_view text, TextWord word) {
  std::u16string result;
  const std::u16string_view piece = text.substr(word.start, word.length);
  for (std::size_t i = 0; i < piece.size(); ++i) {
    if (piece[i] == u'&' && i + 1 < piece.size()) continue;
    result.push_back(piece[i] == u'\u2019' ? u'\'' : piece[i]);
  }
  return result;
}

// The usual country of a language's dictionary ("de" is "de_DE").
std::string_view usualCountry(std::string_view language) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 52> kCountries{{
      {"af", "ZA"}, {"ar", "SA"}, {"be", "BY"}, {"bg", "BG"}, {"bn", "BD"}, {"bs", "BA"},
      {"ca", "ES"}, {"cs", "CZ"}, {"da", "DK"}, {"de", "DE"}, {"el", "GR"}, {"en", "US"},
      {"es", "ES"}, {"et", "EE"}, {"eu", "ES"}, {"fa", "IR"}, {"fi", "FI"}, {"fr", "FR"},
      {"gl", "ES"}, {"gu", "IN"}, {"he", "IL"}, {"hi", "IN"}, {"hr", "HR"}, {"hu", "HU"},
      {"id", "ID"}, {"is", "IS"}, {"it", "IT"}, {"ja", "JP"}, {"kk", "KZ"}, {"ko", "KR"},
      {"lt", "LT"}, {"lv", "LV"}, {"mn", "MN"}, {"nb", "NO"}, {"ne", "NP"}, {"nl", "NL"},
      {"nn", "NO"}, {"pl", "PL"}, {"pt", "PT"}, {"ro", "RO"}, {"ru", "RU"}, {"si", "LK"},
      {"sk", "SK"}, {"sl", "SI"}, {"sr", "RS"}, {"sv", "SE"}, {"te", "IN"}, {"th", "TH"},
      {"tr", "TR"}, {"uk", "UA"}, {"uz", "UZ"}, {"vi", "VN"},
  }};
  for (const auto& [code, country] : kCountries) {
    if (code == language) return country;
  }
  return {};
}

// "de_DE", "sr_Latn": the language part and the rest.
std::pair<std::string, std::string> splitCode(std::string_view code) {
  const std::size_t cut = code.find_first_of("_-");
  if (cut == std::string_view::npos) return {std::string(code), {}};
  return {std::string(code.substr(0, cut)), std::string(code.substr(cut + 1))};
}

}  // namespace

std::vector<TextWord> wordsToCheck(std::u16string_view text, std::u16string_view original) {
  std::vector<TextWord> words = lettersWords(text);
  if (original.empty() || words.empty()) return words;
  // Case is not looked at: German writes "Widget" for the original's
  // "widget".
  std::vector<std::u16string> originalWords;
  for (const TextWord word : lettersWords(original)) {
    originalWords.push_back(lowerCased(wordText(original, word)));
  }
  std::erase_if(words, [&](TextWord word) {
    return std::find(originalWords.begin(), originalWords.end(),
                     lowerCased(wordText(text, word))) != originalWords.end();
  });
  return words;
}

std::string dictionaryForm(std::u16string_view text, TextWord word) {
  return toLocal8Bit(wordText(text, word));
}

struct SpellChecker::Dictionary {
  nuspell::Dictionary nuspell;
  // The user's words change while other threads may check.
  mutable std::mutex ownWordsMutex;
};

SpellChecker::SpellChecker() : dictionary_(std::make_unique<Dictionary>()) {}
SpellChecker::~SpellChecker() = default;

std::unique_ptr<SpellChecker> SpellChecker::forLanguage(std::string_view code,
                                                        const std::vector<std::string>& folders) {
  const auto [language, rest] = splitCode(code);
  if (language.empty()) return nullptr;
  std::vector<std::string> names;
  if (!rest.empty()) {
    names.push_back(language + "_" + rest);
    names.push_back(language + "-" + rest);
  }
  if (const std::string_view country = usualCountry(language); !country.empty()) {
    names.push_back(language + "_" + std::string(country));
  }
  names.push_back(language);
  std::vector<std::filesystem::path> searched(folders.begin(), folders.end());
  nuspell::append_default_dir_paths(searched);
  for (const std::string& name : names) {
    const std::filesystem::path aff = nuspell::search_dirs_for_one_dict(searched, name);
    if (aff.empty()) continue;
    auto checker = std::unique_ptr<SpellChecker>(new SpellChecker());
    try {
      checker->dictionary_->nuspell.load_aff_dic(aff);
    } catch (const std::exception&) {
      continue;  // a damaged dictionary: try the next name
    }
    checker->name_ = name;
    return checker;
  }
  return nullptr;
}

std::string SpellChecker::dictionaryPackage(std::string_view code) {
  auto [language, rest] = splitCode(code);
  std::transform(language.begin(), language.end(), language.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::transform(rest.begin(), rest.end(), rest.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Debian names a package by its country only for these.
  static constexpr std::array<std::string_view, 12> kByCountry{"de-at", "de-ch", "de-de", "en-au",
                                                               "en-ca", "en-gb", "en-us", "en-za",
                                                               "gl-es", "pt-br", "pt-pt", "sv-se"};
  std::string country = rest;
  if (country.empty()) {
    country = std::string(usualCountry(language));
    std::transform(country.begin(), country.end(), country.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  }
  const std::string withCountry = language + "-" + country;
  if (std::find(kByCountry.begin(), kByCountry.end(), withCountry) != kByCountry.end()) {
    return "hunspell-" + withCountry;
  }
  if (language == "nb" || language == "nn") return "hunspell-no";
  if (language == "eo" || language == "et" || language == "fo" || language == "tl") {
    return "myspell-" + language;
  }
  return "hunspell-" + language;
}

bool SpellChecker::isCorrect(std::string_view utf8Word) const {
  {
    const std::lock_guard lock(dictionary_->ownWordsMutex);
    if (ownWords_.contains(std::string(utf8Word))) return true;
  }
  return dictionary_->nuspell.spell(utf8Word);
}

std::vector<std::u16string> SpellChecker::suggestions(std::u16string_view word) const {
  std::vector<std::string> found;
  dictionary_->nuspell.suggest(toLocal8Bit(wordText(word, {0, word.size()})), found);
  constexpr std::size_t kMost = 5;
  if (found.size() > kMost) found.resize(kMost);
  std::vector<std::u16string> suggestions;
  suggestions.reserve(found.size());
  for (const std::string& suggestion : found) suggestions.push_back(fromLocal8Bit(suggestion));
  return suggestions;
}

std::vector<TextWord> SpellChecker::misspelt(std::u16string_view text,
                                             std::u16string_view original) const {
  std::vector<TextWord> wrong;
  for (const TextWord word : wordsToCheck(text, original)) {
    if (!isCorrect(dictionaryForm(text, word))) wrong.push_back(word);
  }
  return wrong;
}

void SpellChecker::loadPersonalWords(std::u16string_view path) {
  personalPath_ = path;
  std::ifstream in(nativePath(path));
  std::string line;
  const std::lock_guard lock(dictionary_->ownWordsMutex);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) ownWords_.insert(line);
  }
}

bool SpellChecker::addPersonalWord(std::u16string_view word) {
  const std::string utf8 = toLocal8Bit(wordText(word, {0, word.size()}));
  std::string content;
  {
    const std::lock_guard lock(dictionary_->ownWordsMutex);
    if (!ownWords_.insert(utf8).second) return true;
    std::vector<std::string> sorted(ownWords_.begin(), ownWords_.end());
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& own : sorted) content += own + "\n";
  }
  if (personalPath_.empty()) return false;
  const std::u16string_view folder = folderPart(personalPath_);
  if (!folder.empty() && !isFolder(folder) && !createFolders(folder)) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
  return replaceFileContents(personalPath_, std::span(bytes, content.size())) == 0;
}

void SpellChecker::ignore(std::u16string_view word) {
  const std::lock_guard lock(dictionary_->ownWordsMutex);
  ownWords_.insert(toLocal8Bit(wordText(word, {0, word.size()})));
}

std::u16string spellingDictionaryMissing(std::string_view language) {
  return u"No spelling dictionary for " + fromLocal8Bit(language) + u": install the package " +
         fromLocal8Bit(SpellChecker::dictionaryPackage(language));
}

std::u16string personalWordsPath(std::string_view language) {
  const std::u16string folder = programFolder("XDG_DATA_HOME", u".local/share");
  if (folder.empty()) return {};
  return folder + u"/words-" + fromLocal8Bit(language) + u".txt";
}

}  // namespace sorvane
