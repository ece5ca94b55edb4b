#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// Path rules: "/" is the only separator.

// Everything up to and including the last separator; empty when there is none.
std::u16string_view folderPart(std::u16string_view path);
// Everything after the last separator.
std::u16string_view fileNamePart(std::u16string_view path);
// The extension of the file-name part with its dot ("de.qm" → ".qm"); empty
// when the name has no dot after its first character.
std::u16string_view extensionPart(std::u16string_view path);

bool pathExists(std::u16string_view path);

// The nearest existing folder of a path for a file chooser to start in: the
// path itself when it is a folder, else the folder part, repeatedly;
// without a trailing "/"; empty when none exists.
std::u16string nearestExistingFolder(std::u16string_view path);
// 0 when the path names something; otherwise the errno of the check:
// ENOENT (also for an empty path or a missing folder on the way) means
// nothing is there, anything else that it could not be checked.
int pathStatus(std::u16string_view path);
bool isFolder(std::u16string_view path);
// Something that exists and is not a folder.
bool isExistingFile(std::u16string_view path);

// Whether this process may read the file.
bool canRead(std::u16string_view path);
// Whether this process may write the file, or create files in the folder.
bool canWrite(std::u16string_view path);

// Creates a folder and every missing parent; true when it exists afterwards.
bool createFolders(std::u16string_view path);

}  // namespace sorvane
