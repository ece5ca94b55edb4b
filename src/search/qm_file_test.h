#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace sorvane {

class DialogServices;

enum class FileTestResult { notFound, found, stopped };

// Whether a QM file has a translation (any plural form) that holds the text,
// ignoring case, "*" and "?" acting as wildcards. The file is checked as the
// QM reader checks it: one that can't be read or isn't valid is not a
// result and shows no box; the reader's comment notice goes through
// dialogs. The file is read in pieces of a few MB at most, whatever its
// size; a file whose bytes can't hold the text is not parsed at all.
// keepGoing is called at least every few MB read or thousand records; when
// it returns false the test ends with "stopped". A search passes the same
// buffer for every file (fresh memory for each costs more than the read).
FileTestResult testQmFile(std::u16string_view path, std::u16string_view text,
                          DialogServices& dialogs, const std::function<bool()>& keepGoing,
                          std::vector<std::uint8_t>* reusedBuffer = nullptr);

}  // namespace sorvane
