#include "cli/rows_command.h"

#include "cli/json_line_writer.h"
#include "memory/session_memory.h"
#include "platform/dialog_services.h"
#include "platform/text_codec.h"
#include "session/editing.h"
#include "session/row_states.h"
#include "session/session.h"
#include "session/translation_state.h"

namespace sorvane {

namespace {

std::string_view stateName(RowState state) {
  switch (state) {
    case RowState::newString:
      return "new";
    case RowState::dropped:
      return "dropped";
    case RowState::changed:
      return "changed";
    case RowState::onlyInMod:
      return "mod-only";
    case RowState::unchanged:
      break;
  }
  return "none";
}

}  // namespace

void applyLanguage(Session& session, const PluralLanguage& language, DialogServices& dialogs) {
  const std::int32_t dropped = session.formsDroppedBy(language);
  if (dropped > 0) {
    const std::string note = "The language " + language.code + " drops " + std::to_string(dropped) +
                             " plural forms that held text";
    dialogs.showMessage(DialogOwner::none, fromLocal8Bit(note), std::nullopt, MessageButtons::ok,
                        MessageIcon::none);
  }
  changeModLanguage(session, language);
}

int runRows(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
            std::u16string_view mod, const std::optional<PluralLanguage>& language, bool summary,
            std::ostream& out, DialogServices& dialogs) {
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  if (language) applyLanguage(session, *language, dialogs);

  JsonLineWriter json(out);
  if (summary) {
    const RowStateCounts counts = countRowStates(session);
    json.beginObject();
    json.field("new", counts[static_cast<std::size_t>(RowState::newString)]);
    json.field("dropped", counts[static_cast<std::size_t>(RowState::dropped)]);
    json.field("changed", counts[static_cast<std::size_t>(RowState::changed)]);
    json.field("mod-only", counts[static_cast<std::size_t>(RowState::onlyInMod)]);
    json.field("rows", session.rowCount());
    json.endObject();
    return json.flush() ? 0 : 1;
  }
  const bool languagesDiffer = modLanguageDiffersFromOriginal(session);
  // A new row whose original rewords a dropped row's is told which.
  const std::vector<RewordedMatch> reworded = bestRewordedMatches(session);
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    json.beginObject();
    json.field("row", row);
    json.field("state", stateName(session.rowState(row)));
    json.field("translation", translationStateName(messageState(session, row, languagesDiffer)));
    if (mode == SessionMode::modUpdate) json.field("oldOriginal", session.rowOldOriginalText(row));
    json.field("original", session.rowOriginalText(row));
    json.field("mod", session.rowModText(row));
    json.field("section", fromLocal8Bit(session.rowSectionText(row)));
    json.field("subsection", fromLocal8Bit(session.rowSubsectionText(row)));
    if (const std::int32_t form = session.rowForm(row); form != 0) json.field("form", form);
    if (const RewordedMatch& similar = reworded[static_cast<std::size_t>(row)]; similar.row >= 0) {
      json.beginObject("similar");
      json.field("row", similar.row);
      json.field("score", static_cast<std::int32_t>(similar.score));
      json.endObject();
    }
    json.endObject();
  }
  return json.flush() ? 0 : 1;
}

}  // namespace sorvane
