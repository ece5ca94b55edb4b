#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sorvane {

// Sorts keys by their high 32 bits, keys of equal high bits kept in the
// order given: a radix sort, a pass for every 11 bits the highest key
// needs. For the hundreds of thousands of index entries of a large file,
// where a comparison sort takes a good part of the time the read takes.
inline void sortByHighHalf(std::vector<std::uint64_t>& keys) {
  constexpr int kDigitBits = 11;
  constexpr std::uint64_t kDigitMask = (std::uint64_t{1} << kDigitBits) - 1;
  std::uint64_t highest = 0;
  for (const std::uint64_t key : keys) highest = std::max(highest, key >> 32);
  std::vector<std::uint64_t> sorted(keys.size());
  for (int shift = 32; shift < 64 && (highest >> (shift - 32)) != 0; shift += kDigitBits) {
    std::array<std::size_t, kDigitMask + 1> starts{};
    for (const std::uint64_t key : keys) ++starts[(key >> shift) & kDigitMask];
    std::size_t start = 0;
    for (std::size_t& count : starts) {
      const std::size_t keysOfDigit = count;
      count = start;
      start += keysOfDigit;
    }
    for (const std::uint64_t key : keys) sorted[starts[(key >> shift) & kDigitMask]++] = key;
    keys.swap(sorted);
  }
}

}  // namespace sorvane
