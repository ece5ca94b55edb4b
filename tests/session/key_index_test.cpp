#include "session/key_index.h"
#include "session/match_key.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace sorvane {
namespace {

// Keys whose texts split at every place between section and subsection,
// with letters in both cases, so that joined comparisons cross the split.
std::vector<KeyParts> splitKeys(const std::vector<std::string>& texts,
                                std::vector<std::uint32_t> hashes) {
  std::vector<KeyParts> keys;
  for (const std::string& text : texts) {
    for (std::size_t split = 0; split <= text.size(); ++split) {
      for (const std::uint32_t hash : hashes) {
        keys.push_back(
            {hash, std::string_view(text).substr(0, split), std::string_view(text).substr(split)});
      }
    }
  }
  return keys;
}

// Equality, order and hash of the parts agree with the key built as text.
TEST(KeyParts, CompareAsTheJoinedKeyDoes) {
  const std::vector<std::string> texts = {"", "a", "A", "ab", "aB", "abc", "Ab\r\n", "b", "_", "Z"};
  const std::vector<KeyParts> keys = splitKeys(texts, {0, 0xA, 0x1F, 0xFFFFFFFF});
  for (const KeyParts& left : keys) {
    for (const KeyParts& right : keys) {
      const std::string a = left.joined();
      const std::string b = right.joined();
      ASSERT_EQ(left == right, a == b) << a << " " << b;
      ASSERT_EQ(caseFoldedKeyLess(left, right), caseFoldedKeyLess(a, b)) << a << " " << b;
      if (a == b) {
        ASSERT_EQ(tableHash(left), tableHash(right)) << a;
      }
    }
  }
}

// Adds keys as the session adds rows and checks every answer against a
// plain map of first ids.
TEST(KeyIndex, GivesTheFirstIdOfEveryKeyAsItGrows) {
  std::vector<std::string> sections;
  std::uint32_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245U + 12345U;
    // Few distinct values, so that many keys repeat.
    sections.push_back(std::to_string(state % 7000) + (i % 3 == 0 ? "\r\n" : "x"));
  }
  const auto keyOf = [&sections](std::int32_t id) {
    return KeyParts{static_cast<std::uint32_t>(id % 5), sections[static_cast<std::size_t>(id)], ""};
  };
  KeyIndex index;
  std::map<std::string, std::int32_t> firstIds;
  for (std::int32_t id = 0; id < 20000; ++id) {
    const KeyParts key = keyOf(id);
    firstIds.emplace(key.joined(), id);
    const std::int32_t found = index.findOrAdd(
        tableHash(key), id, [&](std::int32_t other) { return keyOf(other) == key; });
    ASSERT_EQ(found, firstIds.at(key.joined()));
  }
  for (const auto& [joined, id] : firstIds) {
    const KeyParts key = keyOf(id);
    EXPECT_EQ(index.find(tableHash(key), [&](std::int32_t other) { return keyOf(other) == key; }),
              id);
  }
  const KeyParts absent{7, "absent", ""};
  EXPECT_EQ(
      index.find(tableHash(absent), [&](std::int32_t other) { return keyOf(other) == absent; }),
      KeyIndex::kNone);
}

TEST(KeyIndex, AnEmptyOrClearedIndexFindsNothing) {
  KeyIndex index;
  const auto any = [](std::int32_t) { return true; };
  EXPECT_EQ(index.find(0, any), KeyIndex::kNone);
  index.reserve(10);
  EXPECT_EQ(index.findOrAdd(0, 0, any), 0);
  EXPECT_EQ(index.find(0, any), 0);
  index.clear();
  EXPECT_EQ(index.find(0, any), KeyIndex::kNone);
}

}  // namespace
}  // namespace sorvane
