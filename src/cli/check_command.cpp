#include "cli/check_command.h"

#include "checks/spelling.h"
#include "cli/json_line_writer.h"
#include "platform/dialog_services.h"
#include "session/row_problems.h"
#include "session/session.h"

#include <array>

namespace sorvane {

int runCheck(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
             std::u16string_view mod, const CheckOptions& options, std::ostream& out,
             DialogServices& dialogs) {
  const bool summary = options.summary;
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  RowProblems problems;
  problems.checkAll(session);
  const std::string language = options.language.empty() ? session.modLanguage() : options.language;
  std::unique_ptr<SpellChecker> speller;
  if (options.spelling && !language.empty()) {
    speller = SpellChecker::forLanguage(language);
    if (speller) {
      speller->loadPersonalWords(personalWordsPath(speller->dictionaryName()));
      problems.setSpeller(speller.get());
      for (std::int32_t row = 0; row < session.rowCount(); ++row) {
        problems.checkSpelling(session, row);
      }
    } else {
      dialogs.showMessage(DialogOwner::none, spellingDictionaryMissing(language), std::nullopt,
                          MessageButtons::ok, MessageIcon::none);
    }
  }

  JsonLineWriter json(out);
  constexpr std::array kChecks = {
      CheckKind::placeMarkers, CheckKind::accelerators, CheckKind::acceleratorClash,
      CheckKind::punctuation,  CheckKind::whiteSpace,   CheckKind::lineBreaks,
      CheckKind::tags,         CheckKind::lookup,       CheckKind::pluralForms,
      CheckKind::pairing,      CheckKind::spelling};
  std::array<std::int32_t, kChecks.size()> counts{};
  bool any = false;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    for (const Problem& problem : problems.problemsOf(row)) {
      any = true;
      ++counts[static_cast<std::size_t>(problem.check)];
      if (summary) continue;
      json.beginObject();
      json.field("row", row);
      json.field("check", checkName(problem.check));
      json.field("message", problem.message);
      json.field("original", originalTextFor(session, row));
      json.field("mod", session.rowModText(row));
      if (const std::int32_t form = session.rowForm(row); form != 0) json.field("form", form);
      json.endObject();
    }
  }
  if (summary) {
    json.beginObject();
    for (const CheckKind check : kChecks) {
      if (check == CheckKind::spelling && !problems.speller()) continue;
      json.field(checkName(check), counts[static_cast<std::size_t>(check)]);
    }
    json.endObject();
  }
  if (!json.flush()) return 1;
  return any ? 1 : 0;
}

}  // namespace sorvane
