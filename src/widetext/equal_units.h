#pragma once

#include <cstring>
#include <string_view>

namespace sorvane {

// Whether two UTF-16 texts hold the same units, compared as bytes: the
// standard comparison of char16_t goes a unit at a time, which shows over
// the hundreds of thousands of texts of a catalogue.
inline bool equalUnits(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

}  // namespace sorvane
