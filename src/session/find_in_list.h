#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class Session;

// Whether the whole text matches the pattern, both lower-cased code unit by
// code unit: "*" stands for any run of code units (none too), "?" for
// exactly one, anything else for itself. Linear in practice: the match
// keeps one point to return to, the last "*", as the standard greedy
// matching does, so patterns like *a*a*a*b don't explode.
bool wildcardMatch(std::u16string_view text, std::u16string_view pattern);

// The pattern matching any text that holds the given one: "*text*".
std::u16string containingPattern(std::u16string_view text);

// The code units whose lower case is a given unit, up to three of them
// (more is rare); unused places repeat the first.
struct UnitsLoweringTo {
  std::array<char16_t, 3> units{};
  bool complete = true;  // no other unit lowers to it
};
const UnitsLoweringTo& unitsLoweringTo(char16_t lowered);

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
