#pragma once

#include "qm/plural_rules.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;
class Session;

// Opens the files as the Open button does ("Mod update" with an old
// original), gives the Mod the language when one is given, and prints the
// list as the window shows it: one JSON object a row, in row order, with
// the row's number, state and texts; with summary, the legend's counts
// instead. Returns the process exit code: 0, or 1 when opening failed.
int runRows(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
            std::u16string_view mod, const std::optional<PluralLanguage>& language, bool summary,
            std::ostream& out, DialogServices& dialogs);

// Gives an open session's Mod the language, telling on the dialogs how
// many plural forms that held text it dropped.
void applyLanguage(Session& session, const PluralLanguage& language, DialogServices& dialogs);

}  // namespace sorvane
