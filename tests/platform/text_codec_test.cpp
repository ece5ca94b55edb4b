#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(TextCodec, DecodesUtf8IncludingCharactersBeyondTheBasicPlane) {
  EXPECT_EQ(fromLocal8Bit("\xC3\x96"
                          "ffnen \xF0\x9F\x98\x80"),
            u"\u00D6ffnen \U0001F600");
  EXPECT_EQ(toLocal8Bit(u"\u00D6ffnen \U0001F600"),
            "\xC3\x96"
            "ffnen \xF0\x9F\x98\x80");
}

TEST(TextCodec, InvalidBytesDecodeToTheReplacementCharacter) {
  EXPECT_EQ(fromLocal8Bit("a\xFF"
                          "b"),
            u"a\uFFFDb");
  EXPECT_EQ(fromLocal8Bit("\xC3"), u"\uFFFD");
}

TEST(TextCodec, LoneSurrogatesEncodeAsTheReplacementCharacter) {
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(toLocal8Bit(lone),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(TextCodec, EmptyTextsStayEmpty) {
  EXPECT_EQ(fromLocal8Bit(""), u"");
  EXPECT_EQ(toLocal8Bit(u""), "");
}

}  // namespace
}  // namespace sorvane
