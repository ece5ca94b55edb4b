#include "qm/qm_format.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace sorvane {
namespace {

TEST(QmFormat, SwapBytes32ReversesTheFourBytes) {}

TEST(QmFormat, SwapUtf16UnitsSwapsEachUnitAndStoresAZeroUnit) {
  std::array<unsigned char, 6> buffer = {0x00, 0x48, 0x00, 0x69, 0xEE, 0xEE};
  swapUtf16Units(buffer.data(), 4);
  EXPECT_EQ(buffer, (std::array<unsigned char, 6>{0x48, 0x00, 0x69, 0x00, 0x00, 0x00}));
}

TEST(QmFormat, SwapUtf16UnitsWithACountBelowTwoOnlyStoresTheZeroUnit) {
  std::array<unsigned char, 3> one = {0xAB, 0xEE, 0xEE};
  swapUtf16Units(one.data(), 1);
  EXPECT_EQ(one, (std::array<unsigned char, 3>{0xAB, 0x00, 0x00}));

  std::array<unsigned char, 2> none = {0xEE, 0xEE};
  swapUtf16Units(none.data(), 0);
  EXPECT_EQ(none, (std::array<unsigned char, 2>{0x00, 0x00}));
}

// Every length, whatever falls past the units swapped eight at a time.
TEST(QmFormat, SwapUtf16UnitsSwapsEveryUnitOfEveryLength) {
  for (std::size_t units = 0; units < 20; ++units) {
    std::vector<unsigned char> buffer(2 * units + 2, 0xEE);
    for (std::size_t i = 0; i < units; ++i) {
      buffer[2 * i] = static_cast<unsigned char>(i);
      buffer[2 * i + 1] = static_cast<unsigned char>(0x80 + i);
    }
    swapUtf16Units(buffer.data(), 2 * units);
    for (std::size_t i = 0; i < units; ++i) {
      ASSERT_EQ(buffer[2 * i], 0x80 + i) << units << " " << i;
      ASSERT_EQ(buffer[2 * i + 1], i) << units << " " << i;
    }
    EXPECT_EQ(buffer[2 * units], 0);
    EXPECT_EQ(buffer[2 * units + 1], 0);
  }
}

TEST(QmFormat, SwapUtf16UnitsLeavesTheOddByteOfAnOddCountUnswapped) {
  std::array<unsigned char, 5> buffer = {0x01, 0x02, 0x03, 0xEE, 0xEE};
  swapUtf16Units(buffer.data(), 3);
  EXPECT_EQ(buffer, (std::array<unsigned char, 5>{0x02, 0x01, 0x03, 0x00, 0x00}));
}

}  // namespace
}  // namespace sorvane
