#include "session/key_index.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace sorvane {
namespace {

// Adds keys as rows, as the session builds its rows, and checks every answer
// against a plain map of first rows.
TEST(KeyIndex, GivesTheFirstRowOfEveryKeyAsItGrows) {
  ByteStringList keys;
  KeyIndex index;
  std::map<std::string, std::int32_t> firstRows;
  std::uint32_t state = 12345;
  for (std::int32_t row = 0; row < 20000; ++row) {
    state = state * 1103515245U + 12345U;
    // Few distinct values, so that many keys repeat.
    const std::string key = std::to_string(state % 7000) + (row % 3 == 0 ? "\r\n" : "x");
    keys.add(key);
    firstRows.emplace(key, row);
    ASSERT_EQ(index.findOrAdd(key, row, keys), firstRows.at(key));
  }
  for (const auto& [key, row] : firstRows) EXPECT_EQ(index.find(key, keys), row);
  EXPECT_EQ(index.find("absent", keys), KeyIndex::kNone);
}

TEST(KeyIndex, AnEmptyOrClearedIndexFindsNothing) {
  ByteStringList keys;
  KeyIndex index;
  EXPECT_EQ(index.find("", keys), KeyIndex::kNone);
  keys.add("");
  index.reserve(10);
  EXPECT_EQ(index.findOrAdd("", 0, keys), 0);
  EXPECT_EQ(index.find("", keys), 0);
  index.clear();
  EXPECT_EQ(index.find("", keys), KeyIndex::kNone);
}

}  // namespace
}  // namespace sorvane
