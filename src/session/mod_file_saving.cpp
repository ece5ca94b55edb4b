#include "session/mod_file_saving.h"

#include "platform/dialog_services.h"
#include "platform/file_identity.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/side_by_side.h"
#include "platform/system_error.h"
#include "qm/qm_writer.h"
#include "session/match_key.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <numeric>

namespace sorvane {

namespace {

constexpr std::u16string_view kNotSavedCaption = u"File not saved";

void showSaveError(DialogServices& dialogs, std::u16string_view text) {
  dialogs.showMessage(DialogOwner::mainWindow, text, kNotSavedCaption, MessageButtons::ok,
                      MessageIcon::error);
}

}  // namespace

std::vector<std::int32_t> writtenModEntries(const Session& session) {
  const std::int32_t count = session.mod().translations.count();
  std::vector<std::int32_t> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  if (session.mode() == SessionMode::traditional) return order;

  // Sorted by key: by the hash first (its eight digits sort as the number
  // does), sorted together with the entry in one array; the rest of a key
  // decides only between equal hashes.
  const QmDocument& mod = session.mod();
  std::vector<std::pair<std::uint32_t, std::int32_t>> sorted(order.size());
  for (std::int32_t i = 0; i < count; ++i) {
    sorted[static_cast<std::size_t>(i)] = {mod.hashes[static_cast<std::size_t>(i)], i};
  }
  const auto less = [&mod](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    const KeyParts left = entryKey(mod, a.second);
    const KeyParts right = entryKey(mod, b.second);
    if (caseFoldedKeyLess(left, right)) return true;
    if (caseFoldedKeyLess(right, left)) return false;
    return a.second < b.second;
  };
  // The halves are sorted side by side and merged; no two entries compare
  // equal, so the order is the one a single sort gives.
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
  runSideBySide([&] { std::sort(sorted.begin(), middle, less); },
                [&] { std::sort(middle, sorted.end(), less); });
  auto first = sorted.begin();
  auto second = middle;
  auto out = order.begin();
  while (first != middle && second != sorted.end()) {
    *out++ = (less(*second, *first) ? *second++ : *first++).second;
  }
  for (; first != middle; ++first) *out++ = first->second;
  for (; second != sorted.end(); ++second) *out++ = second->second;
  // Entries with identical keys are all written with the first one's data.
  for (std::int32_t& entry : order) entry = session.firstModEntryWithKeyOf(entry);
  return order;
}

namespace {

// Whether the Mod may be saved over its file: when another program
// changed, removed, made or made read-only the file since the session read
// or saved it, the user is asked first.
bool mayWriteOverModFile(const Session& session, std::u16string_view path,
                         DialogServices& dialogs) {
  const Session::ModFileRecord& record = session.modFileRecord();
  if (record.path != path) return true;
  const std::optional<FileIdentity> now = fileIdentity(path);
  const std::optional<FileIdentity>& then = record.identity;
  std::u16string_view what;
  if (then && !now) {
    what =
        u"\"%s\" was deleted or moved by another program since Sorvane read or saved it. Save "
        u"it there anew?";
  } else if (!then && now) {
    what = u"\"%s\" was made by another program since the Mod was opened. Overwrite it?";
  } else if (then && now &&
             (!now->sameFileAs(*then) || now->size != then->size ||
              now->modifiedNanoseconds != then->modifiedNanoseconds)) {
    what = u"\"%s\" was changed by another program since Sorvane read or saved it. Overwrite it?";
  } else if (then && now && then->writable && !now->writable) {
    what = u"\"%s\" was made read-only since Sorvane read or saved it. Overwrite it?";
  } else {
    return true;
  }
  return dialogs.showMessage(DialogOwner::mainWindow, formatMessage(what, {path}),
                             u"Mod file changed", MessageButtons::okCancel,
                             MessageIcon::exclamation) == MessageAnswer::ok;
}

}  // namespace

bool writeModFile(Session& session, const SessionPaths& paths, DialogServices& dialogs) {
  if (!mayWriteOverModFile(session, paths.mod, dialogs)) return false;
  if (!writeDocumentFile(session, session.mod(), paths.mod, paths, dialogs)) return false;
  session.setModified(false);
  session.recordModFile(paths.mod);
  return true;
}

namespace {

// The inputs a file made from the session must not be written over.
std::vector<std::u16string_view> originalsOf(const Session& session, const SessionPaths& paths) {
  std::vector<std::u16string_view> originals{paths.newOriginal};
  if (session.mode() == SessionMode::modUpdate) originals.push_back(paths.oldOriginal);
  return originals;
}

}  // namespace

bool writeDocumentFile(const Session& session, const QmDocument& document, std::u16string_view path,
                       const SessionPaths& paths, DialogServices& dialogs) {
  // An original under another name (a link, "..") is an original too.
  if (const std::optional<std::u16string_view> original =
          inputNamedBy(path, originalsOf(session, paths))) {
    std::u16string text =
        u"Choose a different filename for the Mod file than for the Original file";
    if (*original != path) {
      text += formatMessage(u"\r\n\"%s\" is the same file as \"%s\"", {path, *original});
    }
    showSaveError(dialogs, text);
    return false;
  }
  // A copy with other texts (the debug translation) is never saved over
  // the Mod either.
  if (&document != &session.mod() && !paths.mod.empty()) {
    const std::u16string_view mod[] = {paths.mod};
    if (inputNamedBy(path, mod)) {
      showSaveError(dialogs, formatMessage(u"\"%s\" is the Mod file: choose a different "
                                           u"filename",
                                           {path}));
      return false;
    }
  }
  if (namesSpecialFile(path)) {
    showSaveError(dialogs, formatMessage(u"\"%s\" is not a regular file: choose a different "
                                         u"filename for the Mod file",
                                         {path}));
    return false;
  }
  const std::u16string_view folder = folderPart(path);
  if (folder.empty() || (!isFolder(folder) && !createFolders(folder))) {
    showSaveError(dialogs, formatMessage(u"Could not create a directory \"%s\"", {folder}));
    return false;
  }

  FileReplacement result;
  try {
    // The file is written as it is made, never held whole in memory.
    const std::vector<std::int32_t> order = writtenModEntries(session);
    result = replaceFileWith(path, [&](const ContentSink& put) {
      return writeQmFile(document, order, session.newOriginal().contextTable,
                         qtBlocksOf(document.hasQtBlocks() ? document : session.newOriginal()),
                         put);
    });
  } catch (const std::bad_alloc&) {
    result = {ENOMEM, FileContent::old};
  }
  return reportSaveResult(dialogs, path, result);
}

bool reportSaveResult(DialogServices& dialogs, std::u16string_view path,
                      const FileReplacement& result) {
  if (result.replaced()) {
    // The file is complete on disk; what failed afterwards is worth knowing.
    if (result.error != 0) {
      dialogs.showMessage(
          DialogOwner::mainWindow,
          formatMessage(u"\"%s\" was saved, but a step after writing it failed:\r\n%s",
                        {path, systemErrorText(result.error)}),
          u"File saved", MessageButtons::ok, MessageIcon::exclamation);
    }
    return true;
  }
  std::u16string text = u"Could not save. Try to choose a different filename for the Mod file\r\n" +
                        systemErrorText(result.error) + formatMessage(u"\r\nFile: \"%s\"", {path});
  if (result.content == FileContent::unflushed) {
    text +=
        u"\r\n\r\nThe file holds the new content, but it may not be on disk: its old "
        u"content could not be put back.";
  } else if (result.content == FileContent::damaged) {
    text += u"\r\n\r\nThe file's old content could not be put back: it may be incomplete.";
  }
  showSaveError(dialogs, text);
  return false;
}

bool askToSaveChanges(Session& session, const SessionPaths& paths, DialogServices& dialogs) {
  if (!session.modified()) return true;
  const MessageAnswer answer = dialogs.showMessage(
      DialogOwner::mainWindow, u"Do you want to save changes now?", u"Changes not saved",
      MessageButtons::yesNoCancel, MessageIcon::exclamation);
  switch (answer) {
    case MessageAnswer::yes:
      return writeModFile(session, paths, dialogs);
    case MessageAnswer::no:
      return true;
    default:
      return false;
  }
}

}  // namespace sorvane
