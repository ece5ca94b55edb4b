#include "widetext/byte_string_list.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(ByteStringList, StoresBytesUpToTheFirstZeroByte) {
  ByteStringList list;
  list.add(std::string_view("ab\0c", 4));
  list.add("\xFF\x01");
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.get(0), "ab");
  EXPECT_EQ(list.get(1), "\xFF\x01");
  EXPECT_EQ(list.get(2), "");
}

TEST(ByteStringList, SetPadsAndIndexOfFindsTheFirstExactMatch) {
  ByteStringList list;
  list.set(2, "k");
  list.add("K");
  list.add("k");
  EXPECT_EQ(list.count(), 5);
  EXPECT_EQ(list.get(0), "");
  EXPECT_EQ(list.indexOf("k"), 2);
  EXPECT_EQ(list.indexOf("K"), 3);
  list.remove(2);
  EXPECT_EQ(list.indexOf("k"), 3);
}

}  // namespace
}  // namespace sorvane
