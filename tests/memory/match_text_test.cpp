#include "memory/match_text.h"

#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

std::string narrow(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) out += unit < 0x80 ? static_cast<char>(unit) : '?';
  return out;
}

TEST(Similarity, ScoresByTheEditDistanceOfTheMatchTexts) {
  const struct {
    std::u16string a;
    std::u16string b;
    int score;
  } cases[] = {
      {u"Open file", u"Open file", 100},
      // Case, accelerators and "&&" cost nothing but the exact 100.
      {u"Open File", u"open file", 99},
      {u"&Open", u"Open", 99},
      {u"Save && Quit", u"Save & Quit", 99},
      // Markers and tags are one character each, and a few points off when
      // they differ.
      {u"%1 files", u"%2 files", 96},
      {u"Copy %1 to %2", u"Copy %L1 to %2", 96},
      {u"<b>Bold</b>", u"<i>Bold</i>", 96},
      {u"Delete %1?", u"Delete <b>%1</b>?", 78},
      // A word added, a word swapped: 100·(1 − distance / longer length).
      {u"Open file", u"Open the file", 69},
      {u"Save the file now", u"Save the file later", 73},
      {u"Close window", u"Close tab", 50},
      // Very short texts.
      {u"OK", u"Ok", 99},
      {u"A", u"B", 0},
      {u"&", u"&&", 99},
      // Other scripts, by UTF-16 unit.
      {u"Открыть файл", u"Открыть файлы", 92},
      {u"ファイルを開く", u"ファイルを閉じる", 62},
      {u"&Fichier", u"Fi&chier", 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(similarity(c.a, c.b), c.score) << narrow(c.a) << " / " << narrow(c.b);
    EXPECT_EQ(similarity(c.b, c.a), c.score) << narrow(c.b) << " / " << narrow(c.a);
  }
}

TEST(Similarity, AThresholdGivesNothingBelowItAndTheSameAboveIt) {
  EXPECT_EQ(similarity(u"Close window", matchText(u"Close window"), u"Close tab",
                       matchText(u"Close tab"), 70),
            0);
  EXPECT_EQ(similarity(u"Save the file now", matchText(u"Save the file now"),
                       u"Save the file later", matchText(u"Save the file later"), 70),
            73);
  EXPECT_FALSE(lengthsAllow(10, 100, 70));
  EXPECT_TRUE(lengthsAllow(70, 100, 70));
}

TEST(Similarity, VeryLongTextsAreAlikeOnlyWhenTheSame) {
  const std::u16string page(5000, u'a');
  EXPECT_EQ(similarity(page, page + u"b"), 0);
  EXPECT_EQ(similarity(page, u"&" + page), 99);
  const std::u16string shorter(3000, u'a');
  EXPECT_EQ(similarity(shorter, shorter + u"b"), 99);
}

TEST(EditDistance, StopsAtTheLimit) {
  EXPECT_EQ(editDistance(u"kitten", u"sitting", 10), 3);
  EXPECT_EQ(editDistance(u"kitten", u"sitting", 2), 3);
  EXPECT_EQ(editDistance(u"", u"abc", 5), 3);
  EXPECT_EQ(editDistance(u"abcdef", u"a", 2), 3);
  EXPECT_EQ(editDistance(u"same", u"same", 0), 0);
}

TEST(MatchText, KeepsWhatTheFixedCharactersStoodFor) {
  const MatchText match = matchText(u"&Copy %1 to <b>%L2</b> &amp; more");
  EXPECT_EQ(match.markers, (std::vector<std::u16string>{u"%1", u"%L2"}));
  EXPECT_EQ(match.tags, (std::vector<std::u16string>{u"<b>", u"</b>"}));
  EXPECT_EQ(match.text, u"copy \uE000 to \uE001\uE000\uE001 &amp; more");
}

}  // namespace
}  // namespace sorvane::test
