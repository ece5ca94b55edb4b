#include "cli/stats_command.h"

#include "cli/json_line_writer.h"
#include "cli/rows_command.h"
#include "session/row_problems.h"
#include "session/session.h"
#include "session/translation_progress.h"

namespace sorvane {

int runStats(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
             std::u16string_view mod, const std::optional<PluralLanguage>& language,
             std::ostream& out, DialogServices& dialogs) {
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  TranslationProgress progress;
  progress.takeBaseline(session);
  if (language) applyLanguage(session, *language, dialogs);
  progress.computeAll(session);
  RowProblems problems;
  problems.checkAll(session);

  // The messages of the original with a problem in any of their rows.
  TranslationProgress::Tally withProblems;
  for (std::int32_t row = 0; row < session.rowCount();) {
    const std::int32_t forms = session.rowFormCount(row);
    bool any = false;
    for (std::int32_t form = row; form < row + forms; ++form) {
      any = any || problems.hasProblems(form);
    }
    if (any && session.rowEntries(row).newOriginal >= 0) {
      ++withProblems.messages;
      withProblems.words += progress.words(session, row);
    }
    row += forms;
  }

  const TranslationProgress::Counts& counts = progress.counts();
  JsonLineWriter json(out);
  json.beginObject();
  json.field("messages", counts.all.messages);
  json.field("translated", counts.translated.messages);
  json.field("untranslated", counts.untranslated.messages);
  json.field("incompletePlural", counts.incomplete.messages);
  json.field("problems", withProblems.messages);
  json.beginObject("words");
  json.field("total", counts.all.words);
  json.field("translated", counts.translated.words);
  json.field("untranslated", counts.untranslated.words);
  json.field("incompletePlural", counts.incomplete.words);
  json.field("problems", withProblems.words);
  json.endObject();
  if (mode == SessionMode::modUpdate) {
    const auto colours = progress.colours(session);
    json.beginObject("legend");
    for (const auto& [name, state] :
         {std::pair{"new", RowState::newString}, std::pair{"dropped", RowState::dropped},
          std::pair{"changed", RowState::changed}, std::pair{"mod-only", RowState::onlyInMod}}) {
      const TranslationProgress::ColourProgress colour = colours[static_cast<std::size_t>(state)];
      json.beginObject(name);
      json.field("rows", colour.rows);
      json.field("left", colour.left);
      json.endObject();
    }
    json.endObject();
  }
  json.endObject();
  return json.flush() ? 0 : 1;
}

}  // namespace sorvane
