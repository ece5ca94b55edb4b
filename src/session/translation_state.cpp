#include "session/translation_state.h"

#include "session/row_problems.h"
#include "widetext/equal_units.h"

#include <string>

namespace sorvane {

namespace {

// The language part of a language block ("pt" of "pt_BR").
std::string_view languagePart(const std::vector<std::uint8_t>& block) {
  const std::string_view code(reinterpret_cast<const char*>(block.data()), block.size());
  return code.substr(0, code.find_first_of("_-"));
}

}  // namespace

std::string_view translationStateName(TranslationState state) {
  switch (state) {
    case TranslationState::untranslated:
      return "untranslated";
    case TranslationState::incomplete:
      return "incomplete";
    case TranslationState::translated:
      return "translated";
  }
  return {};
}

bool modLanguageDiffersFromOriginal(const Session& session) {
  const std::string_view mod = languagePart(session.mod().languageBlock);
  return !mod.empty() && mod != languagePart(session.newOriginal().languageBlock);
}

TranslationState messageState(const Session& session, std::int32_t row, bool languagesDiffer) {
  if (session.rowEntries(row).newOriginal < 0) return TranslationState::translated;
  const std::int32_t first = firstRowOfMessage(session, row);
  const std::int32_t forms = session.rowFormCount(first);
  std::int32_t editable = 0;
  std::int32_t withText = 0;
  bool allAsOriginal = true;
  bool originalEmpty = true;
  for (std::int32_t form = first; form < first + forms; ++form) {
    if (!session.rowModEditable(form)) continue;
    ++editable;
    const std::u16string_view text = session.rowModText(form);
    const std::u16string_view original = originalTextFor(session, form);
    originalEmpty = originalEmpty && original.empty();
    if (!text.empty()) ++withText;
    // Only a Mod in another language can be untranslated by its texts.
    allAsOriginal = allAsOriginal && languagesDiffer && equalUnits(text, original);
  }
  // An original without text leaves nothing to translate.
  if (originalEmpty) return TranslationState::translated;
  if (withText == 0) return TranslationState::untranslated;
  if (withText < editable) return TranslationState::incomplete;
  if (languagesDiffer && allAsOriginal) return TranslationState::untranslated;
  return TranslationState::translated;
}

}  // namespace sorvane
