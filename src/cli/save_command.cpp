#include "cli/save_command.h"

#include "cli/rows_command.h"
#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/session.h"

namespace sorvane {

int runSave(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
            std::u16string_view mod, std::u16string_view out,
            const std::optional<PluralLanguage>& language, bool dropRemoved,
            DialogServices& dialogs) {
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  // A mistyped Mod path would otherwise go unnoticed.
  if (session.modIsCopyOfOriginal() && !mod.empty()) {
    dialogs.showMessage(
        DialogOwner::none,
        std::u16string(mod) + u" does not exist: the Mod starts as a copy of the Original",
        std::nullopt, MessageButtons::ok, MessageIcon::none);
  }
  if (language) applyLanguage(session, *language, dialogs);
  if (dropRemoved) {
    dialogs.showMessage(
        DialogOwner::none,
        formatMessage(u"%d dropped string(s) left out of the Mod", {removeDroppedRows(session)}),
        std::nullopt, MessageButtons::ok, MessageIcon::none);
  }
  paths.mod = out;
  return writeModFile(session, paths, dialogs) ? 0 : 1;
}

}  // namespace sorvane
