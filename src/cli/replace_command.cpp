#include "cli/replace_command.h"

#include "session/mod_file_saving.h"
#include "session/session.h"

namespace sorvane {

int runReplace(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
               std::u16string_view mod, std::u16string_view out, TextReplacer& replacer,
               std::ostream& output, DialogServices& dialogs) {
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  const std::vector<Replacement> replacements = findReplacements(session, nullptr, replacer);
  const std::int32_t changed = applyReplacements(session, replacements);
  paths.mod = out;
  if (!writeModFile(session, paths, dialogs)) return 1;
  output << changed << '\n';
  return 0;
}

}  // namespace sorvane
