#pragma once

#include "textio/exchange_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// The command line's export, import and debug commands, with the window's
// checks and messages. Each returns the exit code: 0, or 1 on a failure.

// Writes the Mod texts of mod to out as the export dialog does: the line
// list, or a tool's format with original's texts (by default the Mod's
// own) as the sources.
int runExport(ExchangeFormat format, std::u16string_view original, std::u16string_view mod,
              std::u16string_view out, DialogServices& dialogs);
// Reads mod, imports in as the export dialog's import does and saves the
// result as out; a tool's format reports what it did on standard error.
int runImport(ExchangeFormat format, std::u16string_view original, std::u16string_view mod,
              std::u16string_view in, std::u16string_view out, DialogServices& dialogs);
// Opens original with a new Mod, gives every row its debug text with id (by
// default the proposal from the original's name) and saves it as out.
int runDebug(std::u16string_view original, std::u16string_view out,
             const std::optional<std::u16string>& id, DialogServices& dialogs);

}  // namespace sorvane
