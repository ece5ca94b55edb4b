#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class Session;

// The texts a row shows in the list's searched columns (all but the row
// number): the original and the Mod text, or in "Mod update" the old
// original, the new original and the Mod text.
bool rowMatches(const Session& session, std::int32_t row, std::u16string_view pattern);

// Searches the rows from start to the last for findText anywhere in a
// searched cell ("*" and "?" act as wildcards), then, after one call of
// wrapped, from the first row over the whole list. The first matching row,
// or nothing when the text is empty, there are no rows or nothing matches.
std::optional<std::int32_t> findFrom(const Session& session, std::int32_t start,
                                     std::u16string_view findText,
                                     const std::function<void()>& wrapped);

}  // namespace sorvane
