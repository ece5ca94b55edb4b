#include "session/find_in_list.h"
#include "widetext/wildcard_match.h"

#include <gtest/gtest.h>

#include <string>

namespace sorvane::test {
namespace {

TEST(WildcardMatch, MatchesWholeTextsIgnoringCaseWithStarsAndQuestionMarks) {
  struct Case {
    std::u16string text;
    std::u16string pattern;
    bool matches;
  };
  const Case cases[] = {
      {u"abc", u"abc", true},
      {u"ABC", u"abc", true},
      {u"abc", u"ABC", true},
      {u"\u00C4rger", u"*\u00E4r*", true},
      {u"abc", u"ab", false},
      {u"abc", u"*b*", true},
      {u"abc", u"a*c", true},
      {u"a--c", u"a*c", true},
      {u"abc", u"a?c", true},
      {u"ac", u"a?c", false},
      {u"", u"*", true},
      {u"", u"", true},
      {u"x", u"", false},
      {u"abc", u"*", true},
      {u"abc", u"abc*", true},
      {u"aXbXc", u"*a*b*c*", true},
      {u"mississippi", u"*sip*", true},
      {u"mississippi", u"*sipx*", false},
      {u"a\nb", u"a?b", true},
      {u"*", u"?", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wildcardMatch(c.text, c.pattern), c.matches)
        << std::string(c.text.begin(), c.text.end()) << " ~ "
        << std::string(c.pattern.begin(), c.pattern.end());
  }
}

TEST(WildcardMatch, StaysFastOnPatternsWithManyStars) {
  const std::u16string text(20000, u'a');
  // Exponential matchers take forever here; the greedy one returns at once.
  EXPECT_FALSE(wildcardMatch(text, u"*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(wildcardMatch(text + u"b", u"*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace sorvane::test
