#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "session/unique_file_name.h"

#include <cerrno>
#include <new>

namespace sorvane {

namespace {

bool readDocument(std::u16string_view path, QmDocument& document, bool keepContextTable,
                  QmReadBuffer& buffer, DialogServices& dialogs) {
  const QmReadOptions options{.keepContextTable = keepContextTable,
                              .quiet = false,
                              .lists = QmLists::all,
                              .buffer = &buffer};
  return readQmFile(path, document, options, dialogs);
}

}  // namespace

bool Session::openSession(SessionMode mode, SessionPaths& paths, DialogServices& dialogs) {
  resetSession();
  mode_ = mode;
  // The files are read one after the other through one buffer.
  QmReadBuffer buffer;
  auto fail = [this] {
    resetSession();
    return false;
  };

  if (!readDocument(paths.newOriginal, newOrig_, true, buffer, dialogs)) return fail();
  // The Mod starts as a copy of the Original when there is none yet. That
  // second read is checked too: a file that changed in between must not
  // leave half-filled lists behind. Only a Mod file that is truly not there
  // starts a new Mod: a path that can't be checked (no permission, a link
  // loop, an I/O error) fails, or the Original's texts would be saved over
  // the user's Mod.
  modIsCopyOfOriginal_ = false;
  const int modStatus = paths.mod.empty() ? ENOENT : pathStatus(paths.mod);
  if (modStatus == ENOENT) {
    if (!readDocument(paths.newOriginal, mod_, false, buffer, dialogs)) return fail();
    if (paths.mod.empty()) paths.mod = uniqueFileName(paths.newOriginal);
    modIsCopyOfOriginal_ = true;
  } else if (modStatus != 0) {
    reportOpenError(dialogs, paths.mod, modStatus);
    return fail();
  } else if (!readDocument(paths.mod, mod_, false, buffer, dialogs)) {
    return fail();
  }

  if (mode == SessionMode::modUpdate) {
    if (!readDocument(paths.oldOriginal, oldOrig_, false, buffer, dialogs)) return fail();
    try {
      buildRows();
    } catch (const std::bad_alloc&) {
      dialogs.showError(DialogOwner::mainWindow,
                        u"Not enough memory to pair the strings of these files");
      return fail();
    }
  } else if (newOrig_.translations.count() != mod_.translations.count()) {
    dialogs.showError(DialogOwner::mainWindow,
                      formatMessage(u"Different strings count in Original and Mod files. (%d : %d)",
                                    {newOrig_.translations.count(), mod_.translations.count()}));
    return fail();
  }

  // The rows show only now: until the session is open it has no rows.
  if (listener_ != nullptr) listener_->rowsAboutToReset();
  open_ = true;
  buildFormRows();
  modified_ = false;
  editRow_ = -1;
  if (listener_ != nullptr) listener_->rowsReset();
  return true;
}

bool Session::closeSession(const SessionPaths& paths, DialogServices& dialogs) {
  if (!askToSaveChanges(*this, paths, dialogs)) return false;
  undoLog_.clear();
  if (listener_ != nullptr) listener_->undoLogCleared();
  resetSession();
  return true;
}

void Session::resetSession() {
  modified_ = false;
  if (listener_ != nullptr) listener_->rowsAboutToReset();
  editRow_ = -1;
  open_ = false;

  keyIndex_.clear();
  rowKeyId_.clear();
  rowMessage_.clear();
  rowForm_.clear();
  firstOldEntry_.clear();
  firstNewEntry_.clear();
  firstModEntry_.clear();
  modEntryKeyId_.clear();
  removedModOnlyEntries_.clear();
  oldOrig_.clear();
  newOrig_.clear();
  mod_.clear();
  if (listener_ != nullptr) listener_->rowsReset();
}

}  // namespace sorvane
