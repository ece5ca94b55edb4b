#pragma once

#include "session/session.h"

#include <cstdint>
#include <string_view>

namespace sorvane {

// What is left to translate of a message, the same for each of its forms.
enum class TranslationState : std::uint8_t {
  untranslated,  // no form has a text, or every form is the original's text in another language
  incomplete,    // some but not all forms of a plural message have a text
  translated,
};

// "untranslated", "incomplete", "translated", as the command line prints it.
std::string_view translationStateName(TranslationState state);

// Whether a Mod text equal to its original is untranslated: the Mod names
// a language and the Original another one, or none. In the Original's own
// language (a modder's copy) an identical text is simply unchanged.
bool modLanguageDiffersFromOriginal(const Session& session);

// The state of the message of a row. Only the forms the Mod's language has
// count; a message the (new) original doesn't hold has nothing left to
// translate.
TranslationState messageState(const Session& session, std::int32_t row, bool languagesDiffer);

// The first row of the message of a row, and the rows it has.
inline std::int32_t firstRowOfMessage(const Session& session, std::int32_t row) {
  return row - session.rowForm(row);
}

}  // namespace sorvane
