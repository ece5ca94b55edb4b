#pragma once

#include "session/text_replace.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// Opens the files as save does, replaces the pattern in every Mod text
// (never in an original), prints how many texts changed and saves the Mod
// under out. Returns the exit code: 0, or 1 when opening or saving failed.
int runReplace(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
               std::u16string_view mod, std::u16string_view out, TextReplacer& replacer,
               std::ostream& output, DialogServices& dialogs);

}  // namespace sorvane
