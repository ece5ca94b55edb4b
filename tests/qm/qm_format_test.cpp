#include "qm/qm_format.h"

#include <gtest/gtest.h>

#include <array>

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

TEST(QmFormat, SwapUtf16UnitsLeavesTheOddByteOfAnOddCountUnswapped) {
  std::array<unsigned char, 5> buffer = {0x01, 0x02, 0x03, 0xEE, 0xEE};
  swapUtf16Units(buffer.data(), 3);
  EXPECT_EQ(buffer, (std::array<unsigned char, 5>{0x02, 0x01, 0x03, 0x00, 0x00}));
}

}  // namespace
}  // namespace sorvane
