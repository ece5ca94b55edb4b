#pragma once

#include <cstdint>
#include <string_view>

namespace sorvane {

class DialogServices;

// The boxes that say why a file could not be read.

// Formats and shows the unexpected-data box: what names the place, position
// is the file offset of the byte, data its value.
void reportUnexpectedData(DialogServices& dialogs, std::u16string_view what,
                          std::u16string_view fileName, std::uint64_t position, std::uint8_t data);

// Shows that a file's texts could not be held in memory.
void reportOutOfMemory(DialogServices& dialogs, std::u16string_view fileName);

// Shows "Error opening" with the file name and the system's text for error.
void reportOpenError(DialogServices& dialogs, std::u16string_view fileName, int error);

}  // namespace sorvane
