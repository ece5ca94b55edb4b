#include "platform/dialog_services.h"
#include "platform/file_identity.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "qm/comment_notice.h"
#include "qm/qm_reader.h"
#include "qm/read_errors.h"
#include "session/document_reads.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "session/unique_file_name.h"

#include <array>
#include <cerrno>
#include <new>
#include <utility>

namespace sorvane {

namespace {

// Shows what a read kept back; a read that failed in its thread is shown
// as the same read on this thread would have shown it.
bool finishRead(DocumentRead& read, DialogServices& dialogs) {
  read.messages.replayTo(dialogs);
  return read.ok;
}

bool sameFile(std::u16string_view path, std::u16string_view other) {
  if (path == other) return true;
  const std::optional<FileIdentity> one = fileIdentity(path);
  const std::optional<FileIdentity> two = fileIdentity(other);
  return one && two && one->regular && one->sameFileAs(*two);
}

// The Mod as a copy of the Original's read, without the context table that
// only the Original keeps.
void copyTheOriginalRead(const DocumentRead& original, DocumentRead& read, QmDocument& mod) {
  read.ok = original.ok;
  if (!read.ok) return;
  try {
    mod = *original.document;
    mod.contextTable.clear();
    mod.contextTable.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    mod = QmDocument();
    read.ok = false;
    reportOutOfMemory(read.messages, read.path);
  }
}

}  // namespace

bool Session::openSession(SessionMode mode, SessionPaths& paths, DialogServices& dialogs) {
  resetSession();
  mode_ = mode;
  auto fail = [this] {
    resetSession();
    return false;
  };

  // The Mod starts as a copy of the Original when there is none yet. Only
  // a Mod file that is truly not there starts a new Mod: a path that can't
  // be checked (no permission, a link loop, an I/O error) fails, or the
  // Original's texts would be saved over the user's Mod.
  modIsCopyOfOriginal_ = false;
  const int modStatus = paths.mod.empty() ? ENOENT : pathStatus(paths.mod);
  const bool modIsNew = modStatus == ENOENT;

  // The files are read side by side; what each read shows is shown in the
  // order the files are taken, up to the first that fails, and the comment
  // notice once.
  OneCommentNotice shown(dialogs);
  std::array<DocumentRead, 3> reads;
  std::size_t readCount = 0;
  const auto toRead = [&](std::u16string_view path, QmDocument& document) {
    DocumentRead& read = reads[readCount++];
    read.path = path;
    read.document = &document;
  };
  toRead(paths.newOriginal, newOriginal_);
  reads[0].keepContextTable = true;
  if (modIsNew || modStatus == 0) {
    toRead(modIsNew ? paths.newOriginal : paths.mod, mod_);
    if (mode == SessionMode::modUpdate) toRead(paths.oldOriginal, oldOriginal_);
  }
  // A file that is both the Original and the Mod (a new Mod's copy, or a
  // Mod named as its own Original) is read once: the Mod starts as a copy
  // of what was read, which is quicker than reading it again and can't
  // differ from it.
  const bool readOnce = readCount >= 2 && sameFile(reads[0].path, reads[1].path);
  if (readOnce) {
    std::swap(reads[1], reads[readCount - 1]);
    --readCount;
  }
  readDocuments(std::span(reads).first(readCount));
  if (readOnce) {
    std::swap(reads[1], reads[readCount]);
    copyTheOriginalRead(reads[0], reads[1], mod_);
  }

  if (!finishRead(reads[0], shown)) return fail();
  if (modIsNew) {
    if (!finishRead(reads[1], shown)) return fail();
    if (paths.mod.empty()) paths.mod = uniqueFileName(paths.newOriginal);
    modIsCopyOfOriginal_ = true;
  } else if (modStatus != 0) {
    reportOpenError(dialogs, paths.mod, modStatus);
    return fail();
  } else if (!finishRead(reads[1], shown)) {
    return fail();
  }

  if (mode == SessionMode::modUpdate) {
    if (!finishRead(reads[2], shown)) return fail();
    try {
      buildRows();
    } catch (const std::bad_alloc&) {
      dialogs.showError(DialogOwner::mainWindow,
                        u"Not enough memory to pair the strings of these files");
      return fail();
    }
  } else if (newOriginal_.translations.count() != mod_.translations.count()) {
    dialogs.showError(
        DialogOwner::mainWindow,
        formatMessage(u"Different strings count in Original and Mod files. (%d : %d)",
                      {newOriginal_.translations.count(), mod_.translations.count()}) +
            u"\r\nThis Mod may have been made for another Original: open it in \"Mod update\" "
            u"with the Original it was made for.");
    return fail();
  }

  // The rows show only now: until the session is open it has no rows.
  if (listener_ != nullptr) listener_->rowsAboutToReset();
  open_ = true;
  try {
    buildFormRows();
  } catch (const std::bad_alloc&) {
    open_ = false;
    rowMessage_.clear();
    rowForm_.clear();
    if (listener_ != nullptr) listener_->rowsReset();
    dialogs.showError(DialogOwner::mainWindow,
                      u"Not enough memory to pair the strings of these files");
    return fail();
  }
  modified_ = false;
  editRow_ = -1;
  modFileRecord_ = {paths.mod, modIsNew ? std::nullopt : fileIdentity(paths.mod)};
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
  modFileRecord_ = {};

  keyIndex_.clear();
  rowKeyId_.clear();
  rowMessage_.clear();
  rowForm_.clear();
  firstOldEntry_.clear();
  firstNewEntry_.clear();
  firstModEntry_.clear();
  modEntryKeyId_.clear();
  removedModOnlyEntries_.clear();
  oldOriginal_.clear();
  newOriginal_.clear();
  mod_.clear();
  if (listener_ != nullptr) listener_->rowsReset();
}

}  // namespace sorvane
