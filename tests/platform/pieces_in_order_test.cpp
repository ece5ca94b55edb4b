#include "platform/pieces_in_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace sorvane::test {
namespace {

// Pieces made on either thread are passed on once each and in order; a
// pass that says stop ends the making, and what a piece's making throws,
// on whichever thread, is thrown to the caller.
TEST(PiecesInOrder, PassesEveryPieceOnceInOrderUntilStoppedOrThrown) {
  struct Case {
    std::size_t count;
    std::size_t stopAfter;  // pieces passed before the pass says stop
    std::size_t throwAt;    // the piece whose making throws
  };
  constexpr std::size_t kNever = 1000;
  const Case cases[] = {{0, kNever, kNever}, {1, kNever, kNever}, {57, kNever, kNever},
                        {57, 10, kNever},    {57, kNever, 0},     {57, kNever, 30}};
  for (const Case& each : cases) {
    SCOPED_TRACE(std::to_string(each.count) + " " + std::to_string(each.stopAfter) + " " +
                 std::to_string(each.throwAt));
    std::vector<std::string> passed;
    const auto run = [&] {
      makePiecesInOrder(
          each.count,
          [&](int, std::size_t piece, std::string& into) {
            if (piece == each.throwAt) throw std::runtime_error("no piece");
            into = "piece " + std::to_string(piece);
          },
          [&](const std::string& piece) {
            passed.push_back(piece);
            return passed.size() < each.stopAfter;
          });
    };
    if (each.throwAt < each.count) {
      EXPECT_THROW(run(), std::runtime_error);
    } else {
      EXPECT_NO_THROW(run());
    }
    const std::size_t expected = std::min({each.count, each.stopAfter, each.throwAt});
    if (each.throwAt >= each.count) {
      ASSERT_EQ(passed.size(), expected);
    } else {
      ASSERT_LE(passed.size(), expected);
    }
    for (std::size_t i = 0; i < passed.size(); ++i)
      EXPECT_EQ(passed[i], "piece " + std::to_string(i));
  }
}

}  // namespace
}  // namespace sorvane::test
