#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

// The key that pairs entries of different files: the hash as eight
// upper-case hexadecimal digits, then the section text, then the subsection
// text, with no separator.
std::string matchKey(std::uint32_t hash, std::string_view section, std::string_view subsection);

// Orders keys as byte strings with the letters A to Z turned into a to z; a
// key that is a prefix of another sorts first.
bool caseFoldedKeyLess(std::string_view left, std::string_view right);

}  // namespace sorvane
