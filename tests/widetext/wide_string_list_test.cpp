#include "widetext/wide_string_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::u16string> linesOf(const WideStringList& list) {
  std::vector<std::u16string> lines;
  for (std::int32_t i = 0; i < list.count(); ++i) lines.push_back(list.get(i));
  return lines;
}

std::vector<std::u16string> split(std::u16string_view text) {
  WideStringList list;
  list.setText(text);
  return linesOf(list);
}

struct SplitCase {
  const char* name;
  std::u16string text;
  std::vector<std::u16string> lines;

  friend void PrintTo(const SplitCase& splitCase, std::ostream* out) { *out << splitCase.name; }
};

class Splitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, FollowsTheLineEndRules) { EXPECT_EQ(split(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    WideStringList, Splitting,
    ::testing::Values(SplitCase{"EmptyTextGivesNoLines", u"", {}},
                      SplitCase{"CrLfEndsALine", u"a\r\nb\r\n", {u"a", u"b"}},
                      SplitCase{"LastLineNeedsNoLineEnd", u"a\r\nb", {u"a", u"b"}},
                      SplitCase{"CrLfAloneIsOneEmptyLine", u"\r\n", {u""}},
                      SplitCase{"LoneLfIsText", u"a\nb", {u"a\nb"}},
                      SplitCase{"LoneCrEndsALine", u"a\rb", {u"a", u"b"}},
                      SplitCase{"TrailingCrOpensNoLine", u"a\r", {u"a"}},
                      SplitCase{"CrCrLfKeepsSecondCrAndLfAsText", u"a\r\r\nb", {u"a", u"\r\nb"}},
                      SplitCase{"CrCrKeepsSecondCrAsText", u"a\r\rb", {u"a", u"\rb"}},
                      SplitCase{"ThirdCrEndsALineAgain", u"a\r\r\rb", {u"a", u"\r", u"b"}},
                      SplitCase{"EmptyLinesBetweenLineEnds", u"\r\n\r\nx", {u"", u"", u"x"}},
                      SplitCase{"LfAfterCrLfIsText", u"a\r\n\nb", {u"a", u"\nb"}},
                      SplitCase{"NulEndsALineLikeCr", std::u16string(u"a\0\nb", 4), {u"a", u"b"}},
                      SplitCase{
                          "NulNeverStaysInALine", std::u16string(u"a\r\0b", 4), {u"a", u"", u"b"}}),
    [](const ::testing::TestParamInfo<SplitCase>& param) { return param.param.name; });

TEST(WideStringList, JoinedTextEndsEveryLineWithCrLf) {
  WideStringList list;
  EXPECT_EQ(list.joinedText(), u"");
  list.add(u"a");
  list.add(u"");
  list.add(u"b\nc");
  EXPECT_EQ(list.joinedText(), u"a\r\n\r\nb\nc\r\n");
}

TEST(WideStringList, AssignLinesResplitsLinesThatHoldACr) {
  WideStringList source;
  source.add(u"one\rtwo");
  source.add(u"three");
  WideStringList copy;
  copy.add(u"old");
  copy.assignLines(source);
  EXPECT_THAT(linesOf(copy), ElementsAre(u"one", u"two", u"three"));
}

TEST(WideStringList, GetOutsideTheListGivesTheEmptyString) {
  WideStringList list;
  list.add(u"x");
  EXPECT_EQ(list.get(-1), u"");
  EXPECT_EQ(list.get(1), u"");
}

TEST(WideStringList, SetPastTheEndPadsWithEmptyLines) {
  WideStringList list;
  list.add(u"a");
  list.add(u"b");
  list.set(5, u"f");
  EXPECT_THAT(linesOf(list), ElementsAre(u"a", u"b", u"", u"", u"", u"f"));
  list.set(0, u"A");
  EXPECT_EQ(list.get(0), u"A");
}

TEST(WideStringList, StoredStringsEndAtTheFirstNul) {
  WideStringList list;
  list.add(std::u16string(u"ab\0cd", 5));
  list.set(1, std::u16string(u"\0x", 2));
  EXPECT_THAT(linesOf(list), ElementsAre(u"ab", u""));
  // Wherever the U+0000 falls against the units looked at eight at a time.
  for (std::size_t at = 0; at <= 20; ++at) {
    std::u16string text(20, u'\u0100');
    if (at < text.size()) text[at] = u'\0';
    text += u"\0tail";
    WideStringList one;
    one.add(text);
    EXPECT_EQ(one.view(0), std::u16string(at, u'\u0100')) << at;
  }
}

TEST(WideStringList, RemoveMovesLaterLinesUp) {
  WideStringList list;
  list.setText(u"a\r\nb\r\nc");
  list.remove(1);
  EXPECT_THAT(linesOf(list), ElementsAre(u"a", u"c"));
  list.clear();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.joinedText(), u"");
}

TEST(WideStringList, IndexOfFindsTheFirstExactMatch) {
  WideStringList list;
  list.setText(u"Abc\r\nabc\r\nabc");
  EXPECT_EQ(list.indexOf(u"abc"), 1);
  EXPECT_EQ(list.indexOf(u"ABC"), -1);
  EXPECT_EQ(list.indexOf(u"ab"), -1);
}

TEST(WideStringList, SortsByCodeUnitsOrIgnoringCase) {
  WideStringList list;
  list.setText(u"b\r\nB\r\na\r\nC");
  list.sort(true);
  EXPECT_THAT(linesOf(list), ElementsAre(u"B", u"C", u"a", u"b"));
  list.setText(u"b\r\nC\r\na\r\nB");
  list.sort(false);
  EXPECT_THAT(linesOf(list), ElementsAre(u"a", u"b", u"B", u"C"));
}

TEST(WideStringList, ManyReplacementsKeepEveryLineIntact) {
  // Replacing lines over and over leaves dead text behind; the list reclaims
  // it from time to time and must keep every live line as it was.
  WideStringList list;
  for (int i = 0; i < 1000; ++i) list.add(u"line " + std::u16string(1, char16_t(u'a' + i % 26)));
  const std::u16string big(4000, u'x');
  for (int round = 0; round < 600; ++round) {
    list.set(round % 1000, big + char16_t(u'0' + round % 10));
  }
  EXPECT_EQ(list.get(599), big + u'9');
  EXPECT_EQ(list.get(600), u"line " + std::u16string(1, char16_t(u'a' + 600 % 26)));
  EXPECT_EQ(list.count(), 1000);
}

class NameValueView : public ::testing::Test {
 protected:
  NameValueView() { list.setText(u"mode=1\r\nmod=abc\r\nk=a=b\r\nplain line"); }
  WideStringList list;
};

TEST_F(NameValueView, GetValueMatchesTheWholeNameAndTheDelimiter) {
  EXPECT_EQ(list.getValue(u"mod"), u"abc");
  EXPECT_EQ(list.getValue(u"mode"), u"1");
  EXPECT_EQ(list.getValue(u"Mod"), u"");
  EXPECT_EQ(list.getValue(u""), u"");
  EXPECT_EQ(list.getValue(u"k"), u"a=b");
  EXPECT_EQ(list.indexOfName(u"plain line"), -1);
  EXPECT_EQ(list.indexOfName(u"mod"), 1);
}

TEST_F(NameValueView, SetValueReplacesInPlaceOrAppends) {
  list.setValue(u"k", u"new");
  EXPECT_EQ(list.get(2), u"k=new");
  list.setValue(u"x", u"v");
  EXPECT_EQ(list.get(4), u"x=v");
  list.setValue(u"", u"v");
  list.setValue(u"", u"v");
  EXPECT_EQ(list.count(), 7);
  EXPECT_EQ(list.get(6), u"=v");
}

TEST_F(NameValueView, OnlyTheFirstLineWithANameCounts) {
  list.add(u"mod=second");
  EXPECT_EQ(list.getValue(u"mod"), u"abc");
  list.setValue(u"mod", u"");
  EXPECT_EQ(list.get(1), u"mod=");
  EXPECT_EQ(list.get(4), u"mod=second");
}

TEST(WideStringList, NameValueViewIsEmptyForAnEmptyList) {
  WideStringList list;
  EXPECT_EQ(list.indexOfName(u"a"), -1);
  EXPECT_THAT(list.getValue(u"a"), IsEmpty());
  EXPECT_EQ(list.nameDelimiter(), u'=');
}

}  // namespace
}  // namespace sorvane
