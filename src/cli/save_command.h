#pragma once

#include "qm/plural_rules.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// Opens the files as the Open button does ("Mod update" with an old
// original, "Traditional" without; an empty mod path is an empty "Mod
// file:" box), gives the Mod the language when one is given, and saves the
// Mod document under out as the Save button does; with dropRemoved ("Mod
// update"), the entries dropped from the new original are left out first.
// Returns the process exit code: 0, or 1 when opening or saving failed.
int runSave(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
            std::u16string_view mod, std::u16string_view out,
            const std::optional<PluralLanguage>& language, bool dropRemoved,
            DialogServices& dialogs);

}  // namespace sorvane
