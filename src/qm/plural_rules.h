#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// Qt's plural rules: which translation of a plural message QTranslator
// shows for a count. A QM file keeps them as a small program in its numerus
// rules block; a language without rules has one form.

// A language as a .ts file's language attribute names it ("ru", "pt_BR",
// "zh_CN", "sr_Latn_RS"): a language code of two or three letters, then
// optional script and territory parts joined by "_".
struct PluralLanguage {
  std::string code;                 // as given; it becomes the QM file's language block
  std::vector<std::uint8_t> rules;  // the numerus rules block; empty for one form
  int forms = 1;
};

// The rules Qt's lrelease writes for the language, or nothing when the
// code is not of that form.
std::optional<PluralLanguage> pluralLanguage(std::string_view code);

// The number of forms a numerus rules block gives: one more than its
// rules; 1 for an empty block.
int pluralFormCount(std::span<const std::uint8_t> rules);

// The form QTranslator shows for the count n, or -1 when the rules are not
// well formed.
int pluralFormFor(std::span<const std::uint8_t> rules, int n);

// The counts that show a form, as a translator reads them: "1, 21, 31, …",
// "2–4, 22–24, 32–34, …", "0, 2 and more". Empty when no count shows it.
std::u16string countsShowingForm(std::span<const std::uint8_t> rules, int form);

// The rules as gettext's Plural-Forms header value ("nplurals=3;
// plural=(...);"), choosing the same form for every count; nothing when
// the rules are not well formed.
std::optional<std::string> gettextPluralForms(std::span<const std::uint8_t> rules);

// The language codes that have rules of their own, for a list of choices.
std::vector<std::string> languagesWithPluralRules();

}  // namespace sorvane
