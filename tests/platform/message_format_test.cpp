#include "platform/message_format.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace sorvane {
namespace {

TEST(MessageFormat, SubstitutesWideAndByteTextsInOrder) {
  EXPECT_EQ(formatMessage(u"Error opening \"%s\"\r\n%s", {u"a.qm", u"No such file"}),
            u"Error opening \"a.qm\"\r\nNo such file");
  EXPECT_EQ(formatMessage(u"[%S]", {std::string_view("\xC3\xA4")}), u"[\u00E4]");
}

TEST(MessageFormat, PadsHexadecimalNumbersWithZeros) {
  EXPECT_EQ(formatMessage(u"0x%08x 0x%02x", {53, std::uint8_t{0}}), u"0x00000035 0x00");
  EXPECT_EQ(formatMessage(u"%08x", {std::uint64_t{0x1234567890}}), u"1234567890");
  EXPECT_EQ(formatMessage(u"%02x", {0xAB}), u"ab");
}

TEST(MessageFormat, FormatsDecimalNumbers) {
  EXPECT_EQ(formatMessage(u"%d rows, %d left", {200000, -3}), u"200000 rows, -3 left");
  EXPECT_EQ(formatMessage(u" (%d)", {0}), u" (0)");
}

TEST(MessageFormat, KeepsPercentSignsAndConversionsWithoutArguments) {
  EXPECT_EQ(formatMessage(u"100%% of %s and %d", {u"x"}), u"100% of x and %d");
  EXPECT_EQ(formatMessage(u"trailing %", {}), u"trailing %");
}

}  // namespace
}  // namespace sorvane
