#include "qm/high_half_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace sorvane::test {
namespace {

// Keys of an offset and an entry number, as the reader makes them: sorted
// as a comparison sort sorts them, for offsets that need one pass to all
// of them, with many equal and none.
TEST(SortByHighHalf, SortsAsAComparisonSortDoes) {
  std::mt19937 random(7);
  for (const std::uint64_t highest :
       {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{2047}, std::uint64_t{2048},
        std::uint64_t{1} << 22, std::uint64_t{1} << 25, std::uint64_t{0xFFFFFFFF}}) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{5000}}) {
      SCOPED_TRACE(std::to_string(highest) + " " + std::to_string(count));
      std::vector<std::uint64_t> keys(count);
      std::uniform_int_distribution<std::uint64_t> offset(0, highest);
      for (std::size_t i = 0; i < count; ++i) keys[i] = (offset(random) << 32) | i;
      std::vector<std::uint64_t> want = keys;
      std::sort(want.begin(), want.end());
      sortByHighHalf(keys);
      EXPECT_EQ(keys, want);
    }
  }
}

}  // namespace
}  // namespace sorvane::test
