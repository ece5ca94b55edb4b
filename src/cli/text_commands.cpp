#include "cli/text_commands.h"

#include "platform/dialog_services.h"
#include "platform/file_identity.h"
#include "platform/message_format.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "textio/debug_strings.h"
#include "textio/text_export.h"

#include <future>

namespace sorvane {

namespace {

// A Traditional session of the Mod with its original (by default itself).
bool openOwnMod(Session& session, SessionPaths& paths, std::u16string_view original,
                std::u16string_view mod, DialogServices& dialogs) {
  paths = {u"", std::u16string(original.empty() ? mod : original), std::u16string(mod)};
  return session.openSession(SessionMode::traditional, paths, dialogs);
}

}  // namespace

int runExport(ExchangeFormat format, std::u16string_view original, std::u16string_view mod,
              std::u16string_view out, DialogServices& dialogs) {
  const std::u16string_view inputs[] = {mod, original};
  if (!exportTargetAllowed(dialogs, out, inputs)) return 1;
  if (format != ExchangeFormat::lineList) {
    Session session;
    SessionPaths paths;
    if (!openOwnMod(session, paths, original, mod, dialogs)) return 1;
    return exportUnits(session, format, out, mod, dialogs) ? 0 : 1;
  }
  QmDocument document;
  if (!readQmFile(mod, document, {}, dialogs)) return 1;
  if (const int error = writeExportFile(document, out); error != 0) {
    reportExportError(dialogs, out, error);
    return 1;
  }
  return 0;
}

int runImport(ExchangeFormat format, std::u16string_view original, std::u16string_view mod,
              std::u16string_view in, std::u16string_view out, DialogServices& dialogs) {
  // A tool's file is read beside the opening of the Mod, on a thread of its
  // own where one can be had: neither needs the other. Its error is shown
  // only once the Mod is open, as if it were read after.
  // Set once this thread waits for the file: a thread then reads part of it.
  std::atomic<bool> waiting = false;
  std::future<UnitsFileRead> read;
  if (format != ExchangeFormat::lineList) {
    read = std::async(std::launch::async | std::launch::deferred,
                      [format, path = std::u16string(in), &waiting] {
                        return readUnitsFile(format, path, &waiting);
                      });
  }
  Session session;
  SessionPaths paths;
  if (!openOwnMod(session, paths, original, mod, dialogs)) return 1;
  if (format == ExchangeFormat::lineList) {
    WideStringList imported;
    if (!importTextFile(session, in, dialogs, imported)) return 1;
  } else {
    // The rows' ids are made while the file may still be being read.
    UnitRows rows(session);
    // A TS file comes grouped by context, out of the rows' order.
    if (format == ExchangeFormat::ts) rows.expectAnyOrder();
    waiting.store(true, std::memory_order_relaxed);
    const UnitsFileRead units = read.get();
    if (!checkUnitsFileRead(units, in, dialogs)) return 1;
    const ImportReport report = rows.importInto(session, *units.units);
    dialogs.showMessage(DialogOwner::none, importReportText(report), std::nullopt,
                        MessageButtons::ok, MessageIcon::information);
  }
  // The Mod is saved over its own file at most, never over what was imported.
  const std::u16string_view imported[] = {in};
  if (const std::optional<std::u16string_view> same = inputNamedBy(out, imported)) {
    dialogs.showError(DialogOwner::none,
                      formatMessage(u"\"%s\" is the same file as \"%s\", which was imported: "
                                    u"choose a different filename",
                                    {out, *same}));
    return 1;
  }
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
