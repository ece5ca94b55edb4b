#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace sorvane::test {
namespace {

// Each text decodes the same wherever it falls against the stretches of
// ASCII bytes looked at and widened at once (sixteen, or eight): after 0 to
// 33 ASCII bytes and before more than a stretch of them.
TEST(Utf8, DecodesAndChecksTheSameAtEveryPlace) {
  struct Case {
    const char* what;
    std::string bytes;
    std::u16string decoded;
    bool valid;
  };
  const Case cases[] = {
      {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
       u"\u00E9\u20AC\U0001F600", true},
      {"a stray continuation byte",
       "a\x80"
       "b",
       u"a\uFFFDb", false},
      {"a sequence cut short", "\xE2\x82", u"\uFFFD\uFFFD", false},
      {"a two-byte lead before ASCII",
       "\xC3"
       "A\xDF",
       u"\uFFFDA\uFFFD", false},
      {"an overlong form", "\xC0\xAF", u"\uFFFD\uFFFD", false},
      {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
      {"ASCII only", "0123456789abcdef", u"0123456789abcdef", true},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.what);
    for (std::size_t before = 0; before < 34; ++before) {
      const std::string prefix(before, 'x');
      const std::string bytes = prefix + each.bytes + "tail of twenty bytes";
      const std::u16string want =
          std::u16string(before, u'x') + each.decoded + u"tail of twenty bytes";
      EXPECT_EQ(fromUtf8(bytes), want) << before;
      EXPECT_EQ(isValidUtf8(bytes), each.valid) << before;
    }
  }
}

}  // namespace
}  // namespace sorvane::test
