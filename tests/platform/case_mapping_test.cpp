#include "platform/case_mapping.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(CaseMapping, MapsSingleCodeUnitsBothWays) {
  EXPECT_EQ(upperCaseUnit(u'a'), u'A');
  EXPECT_EQ(lowerCaseUnit(u'A'), u'a');
  EXPECT_EQ(upperCaseUnit(u'\u00E4'), u'\u00C4');
  EXPECT_EQ(lowerCaseUnit(u'\u0416'), u'\u0436');
  EXPECT_EQ(upperCaseUnit(u'1'), u'1');
}

TEST(CaseMapping, KeepsUnitsWithoutASimpleOneUnitMapping) {
  // Sharp s upper-cases to two letters, which a single unit cannot hold.
  EXPECT_EQ(upperCaseUnit(u'\u00DF'), u'\u00DF');
  EXPECT_EQ(upperCaseUnit(char16_t{0xD801}), char16_t{0xD801});
}

TEST(CaseMapping, ComparesThroughUpperCasedUnits) {
  EXPECT_EQ(compareUpperCased(u"abc", u"ABC"), 0);
  EXPECT_LT(compareUpperCased(u"abc", u"ABD"), 0);
  EXPECT_LT(compareUpperCased(u"ab", u"ABC"), 0);
  // Upper-cased, '_' (0x5F) sorts after the letters (0x41..0x5A).
  EXPECT_GT(compareUpperCased(u"_", u"z"), 0);
}

}  // namespace
}  // namespace sorvane
