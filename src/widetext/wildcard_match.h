#pragma once

#include <array>
#include <string>
#include <string_view>

namespace sorvane {

// Whether the whole text matches the pattern, both lower-cased code unit by
// code unit: "*" stands for any run of code units (none too), "?" for
// exactly one, anything else for itself. Linear in practice: the match
// keeps one point to return to, the last "*", as the standard greedy
// matching does, so patterns like *a*a*a*b don't explode.
bool wildcardMatch(std::u16string_view text, std::u16string_view pattern);
// The same with a pattern that is lower-cased already (lowerCased), for a
// pattern matched against many texts.
bool wildcardMatchLowered(std::u16string_view text, std::u16string_view loweredPattern);

// Whether the text holds the needle, lower-cased already, anywhere, with
// case ignored code unit by code unit; no unit of the needle is special.
bool containsLowered(std::u16string_view text, std::u16string_view loweredNeedle);

// The text with every code unit lower-cased.
std::u16string lowerCased(std::u16string_view text);

// The pattern matching any text that holds the given one: "*text*".
std::u16string containingPattern(std::u16string_view text);

// The code units whose lower case is a given unit, up to three of them
// (more is rare); unused places repeat the first.
struct UnitsLoweringTo {
  std::array<char16_t, 3> units{};
  bool complete = true;  // no other unit lowers to it
};
const UnitsLoweringTo& unitsLoweringTo(char16_t lowered);

}  // namespace sorvane
