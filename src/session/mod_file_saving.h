#pragma once

#include "platform/safe_file_writer.h"
#include "session/session.h"

#include <cstdint>
#include <vector>

namespace sorvane {

class DialogServices;

// Saves the session's Mod document as a QM file under paths.mod: in the
// Mod's order in "Traditional", sorted by case-folded match key in "Mod
// update", followed by the kept context table. Missing folders are created.
// The old file is replaced only once the new one is completely on disk, so
// a failure leaves it as it was. On success the modified flag is cleared;
// on failure the reason has been shown and the session is unchanged.
bool writeModFile(Session& session, const SessionPaths& paths, DialogServices& dialogs);

// Saves a document with the Mod's entries (the Mod itself, or a copy of it
// with other texts) under path, as writeModFile does; the session is not
// changed. paths are the session's, for the check that path is not an
// original.
bool writeDocumentFile(const Session& session, const QmDocument& document, std::u16string_view path,
                       const SessionPaths& paths, DialogServices& dialogs);

// Shows what a save left in the file at path: nothing when it holds the
// new content and nothing failed; a note when it holds the new content but
// a later step failed; otherwise the save error, with what the file holds
// when that is not its old content. True when the file holds the new
// content.
bool reportSaveResult(DialogServices& dialogs, std::u16string_view path,
                      const FileReplacement& result);

// The Mod entries in the order writeModFile writes them: as they are in
// "Traditional"; by case-folded match key in "Mod update", where entries
// with identical keys are all written with the first one's data.
std::vector<std::int32_t> writtenModEntries(const Session& session);

// Before unsaved changes are dropped: asks whether to save them. True when
// the caller may go on (saved, or not wanted), false when the user keeps
// them or saving failed.
bool askToSaveChanges(Session& session, const SessionPaths& paths, DialogServices& dialogs);

}  // namespace sorvane
