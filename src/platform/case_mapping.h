#pragma once

#include <string_view>

namespace sorvane {

// Simple one-to-one case mapping of a single UTF-16 code unit. Surrogates and
// code units without a single-unit mapping are returned unchanged.
char16_t upperCaseUnit(char16_t unit);
char16_t lowerCaseUnit(char16_t unit);
// The lower-case mapping as a table of all 65,536 code units, for loops.
const char16_t* lowerCaseTable();

// Compares two texts through their upper-cased code units; the result is
// negative, zero or positive like std::u16string_view::compare.
int compareUpperCased(std::u16string_view left, std::u16string_view right);

}  // namespace sorvane
