#pragma once

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

// The Mod entries in the order writeModFile writes them: as they are in
// "Traditional"; by case-folded match key in "Mod update", where entries
// with identical keys are all written with the first one's data.
std::vector<std::int32_t> writtenModEntries(const Session& session);

// Before unsaved changes are dropped: asks whether to save them. True when
// the caller may go on (saved, or not wanted), false when the user keeps
// them or saving failed.
bool askToSaveChanges(Session& session, const SessionPaths& paths, DialogServices& dialogs);

}  // namespace sorvane
