#include "cli/text_commands.h"

#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "textio/debug_strings.h"
#include "textio/text_export.h"

namespace sorvane {

namespace {

// A Traditional session of the file with itself as Mod, saved to out.
bool openOwnMod(Session& session, SessionPaths& paths, std::u16string_view mod,
                DialogServices& dialogs) {
  paths = {u"", std::u16string(mod), std::u16string(mod)};
  return session.openSession(SessionMode::traditional, paths, dialogs);
}

}  // namespace

int runExport(std::u16string_view mod, std::u16string_view out, DialogServices& dialogs) {
  QmDocument document;
  if (!readQmFile(mod, document, {}, dialogs)) return 1;
  if (const int error = writeExportFile(document, out); error != 0) {
    reportExportError(dialogs, out, error);
    return 1;
  }
  return 0;
}

int runImport(std::u16string_view mod, std::u16string_view in, std::u16string_view out,
              DialogServices& dialogs) {
  Session session;
  SessionPaths paths;
  if (!openOwnMod(session, paths, mod, dialogs)) return 1;
  WideStringList imported;
  if (!importTextFile(session, in, dialogs, imported)) return 1;
  paths.mod = out;
  return writeModFile(session, paths, dialogs) ? 0 : 1;
}

int runDebug(std::u16string_view original, std::u16string_view out,
             const std::optional<std::u16string>& id, DialogServices& dialogs) {
  Session session;
  SessionPaths paths{u"", std::u16string(original), u""};
  if (!session.openSession(SessionMode::traditional, paths, dialogs)) return 1;
  const QmDocument debug = debugDocument(session, id.value_or(debugIdProposal(original)));
  return writeDocumentFile(session, debug, out, paths, dialogs) ? 0 : 1;
}

}  // namespace sorvane
