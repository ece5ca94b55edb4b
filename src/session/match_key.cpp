#include "session/match_key.h"

#include <algorithm>

namespace sorvane {

namespace {

unsigned char foldAsciiLetter(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 'A' && value <= 'Z' ? static_cast<unsigned char>(value + ('a' - 'A')) : value;
}

}  // namespace

std::string matchKey(std::uint32_t hash, std::string_view section, std::string_view subsection) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string key(8 + section.size() + subsection.size(), '\0');
  for (int i = 7; i >= 0; --i) {
    key[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
    hash >>= 4;
  }
  std::copy(section.begin(), section.end(), key.begin() + 8);
  std::copy(subsection.begin(), subsection.end(),
            key.begin() + 8 + static_cast<std::ptrdiff_t>(section.size()));
  return key;
}

bool caseFoldedKeyLess(std::string_view left, std::string_view right) {
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char a = foldAsciiLetter(left[i]);
    const unsigned char b = foldAsciiLetter(right[i]);
    if (a != b) return a < b;
  }
  return left.size() < right.size();
}

}  // namespace sorvane
