#pragma once

#include "qm/plural_rules.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// Opens the files as the Open button does, gives the Mod the language when
// one is given, and prints how far its translation has come as one JSON
// object: the messages of the (new) original, translated, untranslated,
// with plural forms left without text and with problems, the same counted
// in the original's words, and in "Mod update" each colour's rows and how
// many are left. Returns 0, or 1 when opening failed.
int runStats(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
             std::u16string_view mod, const std::optional<PluralLanguage>& language,
             std::ostream& out, DialogServices& dialogs);

}  // namespace sorvane
