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

// A match key as the views it is made of, so that keys are compared and
// hashed without being built: two keys are equal when their hashes are and
// the section and subsection texts joined are.
struct KeyParts {
  std::uint32_t hash = 0;
  std::string_view section;
  std::string_view subsection;

  std::string joined() const { return matchKey(hash, section, subsection); }
};

bool operator==(const KeyParts& left, const KeyParts& right);
// The order of caseFoldedKeyLess on the keys the parts make.
bool caseFoldedKeyLess(const KeyParts& left, const KeyParts& right);
// A hash of the key for tables; equal keys have equal hashes.
std::uint64_t tableHash(const KeyParts& key);

}  // namespace sorvane
