#include "textio/row_id_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvane::test {
namespace {

std::string idOf(int i) { return "0000" + std::to_string(i) + "/Section/Context/"; }

// Ids found in the order they went out, in any other, or not at all, and
// ids that are prefixes of each other, however many rows there are.
TEST(RowIdIndex, FindsEveryRowInAnyOrderAndNothingElse) {
  // With the table made at the first miss, or up front.
  for (const auto& [rows, tableFirst] :
       {std::pair{0, false}, {1, false}, {3, false}, {1000, false}, {0, true}, {1000, true}}) {
    SCOPED_TRACE(rows);
    RowIdIndex index;
    index.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) index.add(idOf(i), i * 2);
    if (tableFirst) index.makeTable();
    EXPECT_FALSE(index.find("").has_value());
    EXPECT_FALSE(index.find(idOf(rows)).has_value());
    std::vector<int> asked;
    for (int i = 0; i < rows; ++i) asked.push_back(i);          // as they went out
    for (int i = rows - 1; i >= 0; i -= 3) asked.push_back(i);  // backwards, skipping
    for (int i = 0; i < rows; i += 7) asked.push_back(i);       // forwards again
    for (const int i : asked) {
      // What a find reads fetched ahead, for the id and for one not there.
      if (tableFirst) {
        for (int step = 0; step < RowIdIndex::kPrefetchSteps; ++step) {
          index.prefetch(StringSlots::hashOf(idOf(i)), step);
          index.prefetch(StringSlots::hashOf(idOf(rows + i)), step);
        }
      }
      const std::optional<std::int32_t> row = index.find(idOf(i));
      ASSERT_TRUE(row.has_value()) << i;
      EXPECT_EQ(*row, i * 2);
      EXPECT_FALSE(index.find(idOf(i).substr(0, 5)).has_value());
      EXPECT_FALSE(index.find(idOf(i) + "x").has_value());
    }
  }
}

}  // namespace
}  // namespace sorvane::test
