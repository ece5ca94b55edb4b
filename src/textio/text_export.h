#pragma once

#include "widetext/wide_string_list.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;
class Session;
struct QmDocument;

// The Mod texts as the export file holds them: one line a translation, in
// the Mod's entry order, every plural form of an entry on a line of its own.
std::int32_t exportLineCount(const QmDocument& mod);

// The Mod texts in that order, as lines.
WideStringList modTextLines(const QmDocument& mod);

// Writes the export file: FF FE, then each Mod text in UTF-16LE followed by
// CR LF. An existing file is replaced only once the new one is complete.
// Returns 0 or the errno of the failure.
int writeExportFile(const QmDocument& mod, std::u16string_view path);

// Whether an export may be written to target: not when it is one of the
// inputs it was made from, under any name, nor anything but a regular file;
// then "Error exporting to ..." says why.
bool exportTargetAllowed(DialogServices& dialogs, std::u16string_view target,
                         std::span<const std::u16string_view> inputs);

// Shows "Error exporting to ..." for a failed export.
void reportExportError(DialogServices& dialogs, std::u16string_view path, int error);

// The default export file name: the Mod path with the extension ".txt",
// made free with uniqueFileName.
std::u16string defaultExportFileName(std::u16string_view modPath);

// Reads an edited export file back and gives every Mod text the text of its
// line, without an undo entry. Every check shows its message and changes no
// Mod text: the file can't be opened, doesn't start with FF FE, has an odd
// byte count or can't be read to its end, or its line count differs. On
// success imported holds the lines read, and the session is modified.
// After an import in the window: the imported lines to "debug.txt" and the
// Mod texts to "debug1.txt" in the program's state folder
// (importSideFilesFolder); failures are ignored.
// Nothing is written over the imported file itself.
void writeImportSideFiles(const WideStringList& imported, const QmDocument& mod,
                          std::u16string_view importedPath);
// $XDG_STATE_HOME/sorvane (~/.local/state/sorvane when that is unset).
std::u16string importSideFilesFolder();

bool importTextFile(Session& session, std::u16string_view path, DialogServices& dialogs,
                    WideStringList& imported);

}  // namespace sorvane
