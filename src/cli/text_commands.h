#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// The command line's export, import and debug commands, with the window's
// checks and messages. Each returns the exit code: 0, or 1 on a failure.

// Writes the Mod texts of mod to out as the export dialog does.
int runExport(std::u16string_view mod, std::u16string_view out, DialogServices& dialogs);
// Reads mod, imports in as the export dialog's import does and saves the
// result as out.
int runImport(std::u16string_view mod, std::u16string_view in, std::u16string_view out,
              DialogServices& dialogs);
// Opens original with a new Mod, gives every row its debug text with id (by
// default the proposal from the original's name) and saves it as out.
int runDebug(std::u16string_view original, std::u16string_view out,
             const std::optional<std::u16string>& id, DialogServices& dialogs);

}  // namespace sorvane
