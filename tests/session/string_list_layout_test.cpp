#include "session/string_list_layout.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(RowNumberText, PadsToTheDigitsOfTheLargestRowNumber) {
  EXPECT_EQ(rowNumberText(0, 10), u"0");
  EXPECT_EQ(rowNumberText(9, 10), u"9");
  EXPECT_EQ(rowNumberText(0, 11), u"00");
  EXPECT_EQ(rowNumberText(10, 11), u"10");
  EXPECT_EQ(rowNumberText(7, 150), u"007");
  EXPECT_EQ(rowNumberText(149, 150), u"149");
  EXPECT_EQ(rowNumberText(5, 1000001), u"0000005");
}

TEST(ColumnLayout, TraditionalGivesTheRowNumbersTheirWidthAndSplitsTheRest) {
  const ColumnLayout layout = computeColumnLayout(SessionMode::traditional, 401, 30);
  EXPECT_EQ(layout.widths, (std::array<int, 4>{30, 185, 185, 0}));
  EXPECT_EQ(layout.newOriginalCaptionX, 38);
  EXPECT_EQ(layout.modifiedCaptionX, 223);
}

TEST(ColumnLayout, ModUpdateHidesTheRowNumbersAndSplitsInThree) {
  const ColumnLayout layout = computeColumnLayout(SessionMode::modUpdate, 400, 30);
  EXPECT_EQ(layout.widths, (std::array<int, 4>{0, 133, 133, 133}));
  EXPECT_EQ(layout.oldOriginalCaptionX, 8);
  EXPECT_EQ(layout.newOriginalCaptionX, 141);
  EXPECT_EQ(layout.modifiedCaptionX, 274);
}

TEST(ColumnLayout, ANarrowListGivesNoNegativeHalves) {
  for (const SessionMode mode : {SessionMode::traditional, SessionMode::modUpdate}) {
    for (const int width : {-5, 0, 11}) {
      const ColumnLayout layout = computeColumnLayout(mode, width, 20);
      for (const int column : layout.widths) EXPECT_GE(column, 0) << width;
    }
  }
}

TEST(ListFontHeight, ReadsTheLeadingNumberOfTheSizeBox) {
  EXPECT_EQ(listFontHeightFromText(u"14"), 14);
  EXPECT_EQ(listFontHeightFromText(u"+9"), 9);
  EXPECT_EQ(listFontHeightFromText(u"-12"), 12);
  EXPECT_EQ(listFontHeightFromText(u"16px"), 16);
  EXPECT_EQ(listFontHeightFromText(u""), 0);
  EXPECT_EQ(listFontHeightFromText(u"0"), 0);
  EXPECT_EQ(listFontHeightFromText(u"abc"), 0);
  EXPECT_EQ(listFontHeightFromText(u" 12"), 0);
  EXPECT_EQ(listFontHeightFromText(u"99999999999"), 10000);
}

TEST(RowColours, FollowTheTableOfStates) {
  struct Case {
    RowState state;
    Rgb base, focused, unfocused;
  };
  for (const Case& c : {Case{RowState::newString, 0xE0FFE0, 0x7FBF7F, 0xBEDEBE},
                        Case{RowState::dropped, 0xFFE0E0, 0xFE7F7F, 0xFEBEBE},
                        Case{RowState::changed, 0xE0E0FF, 0x7F7FFE, 0xBEBEFE},
                        Case{RowState::onlyInMod, 0xFFFFD6, 0xFFFF00, 0xFEFE7F},
                        Case{RowState::unchanged, 0xFFFFFF, 0xBFBFBF, 0xDEDEDE}}) {
    EXPECT_EQ(rowBackground(c.state, false, true), c.base);
    EXPECT_EQ(rowBackground(c.state, false, false), c.base);
    EXPECT_EQ(rowBackground(c.state, true, true), c.focused);
    EXPECT_EQ(rowBackground(c.state, true, false), c.unfocused);
  }
}

// One unit per code unit: easy to reason about.
int unitWidth(std::u16string_view text) { return static_cast<int>(text.size()); }

TEST(ElideText, KeepsTheLongestBeginningThatFitsWithTheDots) {
  EXPECT_EQ(elideText(u"short", 5, unitWidth), u"short");
  EXPECT_EQ(elideText(u"a longer text", 8, unitWidth), u"a lon...");
  EXPECT_EQ(elideText(u"abcdef", 5, unitWidth), u"ab...");
}

TEST(ElideText, ACellNarrowerThanTheDotsShowsTheDotsAlone) {
  EXPECT_EQ(elideText(u"abcdef", 2, unitWidth), u"...");
  EXPECT_EQ(elideText(u"abcdef", -3, unitWidth), u"...");
}

TEST(ElideText, MatchesRemovingOneCharacterAtATime) {
  // Uneven widths: 'w' is wide, 'i' narrow.
  auto widthOf = [](std::u16string_view text) {
    int width = 0;
    for (char16_t c : text) width += c == u'w' ? 5 : c == u'i' ? 1 : 3;
    return width;
  };
  const std::u16string text = u"wiwiiwwwiiiwiwwiwiiiwwwiw";
  for (int maxWidth = 0; maxWidth < widthOf(text) + 2; ++maxWidth) {
    std::u16string expected(text);
    if (widthOf(expected) > maxWidth) {
      while (!expected.empty() && widthOf(expected + u"...") > maxWidth) expected.pop_back();
      expected += u"...";
    }
    EXPECT_EQ(elideText(text, maxWidth, widthOf), expected) << maxWidth;
  }
}

}  // namespace
}  // namespace sorvane
