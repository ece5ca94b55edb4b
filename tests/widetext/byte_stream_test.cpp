#include "widetext/byte_stream.h"

#include "platform/text_codec.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace sorvane {
namespace {

using test::TempFolder;

TEST(ByteStream, OpeningAMissingFileForReadingFailsWithTheSystemError) {
  TempFolder folder;
  ByteStream stream = ByteStream::openForReading(folder.widePath("missing"));
  EXPECT_FALSE(stream.isOpen());
  EXPECT_EQ(stream.error(), ENOENT);
}

TEST(ByteStream, AFolderIsNotAFileToRead) {
  TempFolder folder;
  ByteStream stream = ByteStream::openForReading(fromLocal8Bit(folder.path()));
  EXPECT_FALSE(stream.isOpen());
  EXPECT_EQ(stream.error(), EISDIR);
}

TEST(ByteStream, WritesAndReadsAtThePosition) {
  TempFolder folder;
  {
    ByteStream out = ByteStream::openForWriting(folder.widePath("f"));
    ASSERT_TRUE(out.isOpen());
    ASSERT_TRUE(out.write("hello", 5));
    EXPECT_EQ(out.position(), 5U);
    ASSERT_TRUE(out.flush());
    ASSERT_TRUE(out.close());
  }
  ByteStream in = ByteStream::openForReading(folder.widePath("f"));
  ASSERT_TRUE(in.isOpen());
  EXPECT_EQ(in.size(), 5U);
  in.seek(1);
  char buffer[8] = {};
  EXPECT_EQ(in.read(buffer, sizeof buffer), 4U);
  EXPECT_STREQ(buffer, "ello");
  EXPECT_EQ(in.position(), 5U);
  EXPECT_EQ(in.error(), 0);
}

TEST(ByteStream, OpeningForWritingTruncates) {
  TempFolder folder;
  folder.write("f", {1, 2, 3});
  ByteStream out = ByteStream::openForWriting(folder.widePath("f"));
  ASSERT_TRUE(out.isOpen());
  EXPECT_EQ(out.size(), 0U);
}

}  // namespace
}  // namespace sorvane
