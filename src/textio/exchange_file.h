#pragma once

#include "platform/large_allocation.h"
#include "textio/read_units.h"
#include "textio/translation_units.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

class DialogServices;
class Session;

// The files the Mod texts go out in and come back from: the line list (one
// text a line, by position) or a translation tool's format, keyed.
enum class ExchangeFormat { lineList, po, xliff, ts };

// "po", "xliff", "ts", or "lines" for the line list; nothing for another
// name.
std::optional<ExchangeFormat> exchangeFormatNamed(std::string_view name);
// By the file's extension: ".po", ".xlf" or ".xliff", ".ts", else the line
// list.
ExchangeFormat exchangeFormatOfPath(std::u16string_view path);

// The whole of a tool's file, read once; false with the reason when it
// can't be. Only a regular file of at most 512 MB is read: a pipe would
// never end, a device never stop.
// The bytes go into memory mapped in large pages, and are not cleared
// before they are read.
using FileBytes = std::vector<std::uint8_t, FilledLargeAllocator<std::uint8_t>>;
bool readExchangeFile(std::u16string_view path, FileBytes& bytes, std::string& error);

// Writes the Mod of the session in a tool's format: units of the Original's
// and the Mod's texts, the Mod's language and plural rules in the header.
// An existing file is replaced only once the new one is complete. Shows
// the export error and returns false on failure.
bool exportUnits(const Session& session, ExchangeFormat format, std::u16string_view path,
                 std::u16string_view modPath, DialogServices& dialogs);

// A tool's file read into units, or the reason it can't be (naming the
// line). The read needs neither a session nor a dialog, so that it can go
// on beside the opening of the Mod.
struct UnitsFileRead {
  std::optional<ReadUnits> units;
  std::string error;
};
// A large TS or XLIFF file has the rest of it read on a second thread once
// helpWanted is set (at once when it is null): while the caller's thread
// has work of its own, a second reader would only take turns with it.
UnitsFileRead readUnitsFile(ExchangeFormat format, std::u16string_view path,
                            const std::atomic<bool>* helpWanted = nullptr);

// Whether the file at path was read; if not, shows why.
bool checkUnitsFileRead(const UnitsFileRead& read, std::u16string_view path,
                        DialogServices& dialogs);

// Reads a tool's file and stores its translations in the Mod by key
// (importUnits). A file that can't be read or parsed changes nothing and
// shows an error that names the line.
std::optional<ImportReport> importUnitsFile(Session& session, ExchangeFormat format,
                                            std::u16string_view path, DialogServices& dialogs);

}  // namespace sorvane
