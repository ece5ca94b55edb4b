#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// The slips a translator makes that break an application rather than its
// wording, each checked of a Mod text against its original text.
enum class CheckKind {
  placeMarkers,      // %1 to %99, %L1, %n, %Ln: the same set
  accelerators,      // &x (not &&): the same count
  acceleratorClash,  // two texts of one context with the same accelerator
  punctuation,       // the ending ":", "…", "?", "!" (and no other for ".")
  whiteSpace,        // white space at the start or end
  lineBreaks,        // the same number of line breaks
  tags,              // rich-text tags: the same ones, properly closed
  lookup,            // an entry of the Mod file Qt will never find
  pluralForms,       // a plural message with some forms left without text
  pairing,           // "Traditional": a row pairs two different messages
  spelling,          // words the dictionary of the Mod's language doesn't know
};

struct Problem {
  CheckKind check;
  std::u16string message;
};

// The check's name, as the command line prints it ("place-markers").
std::string_view checkName(CheckKind check);

// The problems of a translation against its original. An empty
// translation, or one equal to the original, has none; so has every pair a
// careful translator would call right (German "Datei:" for "File:",
// French "Fichier :", Japanese "ファイル：", "&&" for an ampersand).
std::vector<Problem> checkTranslation(std::u16string_view original,
                                      std::u16string_view translation);

// What the checks read of a text in one pass.
struct TextTraits {
  std::int32_t lineBreaks = 0;
  std::int32_t accelerators = 0;  // "&x"; "&&" is an ampersand
  char16_t accelerator = 0;       // the first one's letter, lower-cased
  bool percent = false;           // may hold place markers
  bool angle = false;             // may hold tags
};
TextTraits traitsOf(std::u16string_view text);

// The same, with the traits of both texts already read.
std::vector<Problem> checkTranslation(std::u16string_view original,
                                      const TextTraits& originalTraits,
                                      std::u16string_view translation,
                                      const TextTraits& translationTraits);

// Whether a text holds Qt's place markers (%1 to %99, %L1, %n, %Ln).
bool hasPlaceMarkers(std::u16string_view text);

// The accelerator letter of a text (the character after the first single
// "&"), lower-cased; 0 when it has none.
char16_t acceleratorOf(std::u16string_view text);

// Qt's hash of a message: of its source text and comment, as QTranslator
// looks it up.
std::uint32_t qtMessageHash(std::string_view sourceText, std::string_view comment);

}  // namespace sorvane
