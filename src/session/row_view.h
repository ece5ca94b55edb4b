#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sorvane {

// The rows the list shows, in the order it shows them: every row in file
// order, or some rows in any order. A position is a place in the list; a
// row is the session's.
class RowView {
 public:
  // Every one of rowCount rows, in file order.
  void showAll(std::int32_t rowCount);
  // The rows given, in their order; each must be below rowCount.
  void show(std::vector<std::int32_t> rows, std::int32_t rowCount);

  std::int32_t size() const {
    return showsAll_ ? rowCount_ : static_cast<std::int32_t>(rows_.size());
  }
  std::int32_t rowCount() const { return rowCount_; }
  bool showsAll() const { return showsAll_; }
  // The row at a position; -1 outside the list.
  std::int32_t rowAt(std::int32_t position) const;
  // The position of a row; -1 when it is not shown.
  std::int32_t positionOf(std::int32_t row) const;
  bool shows(std::int32_t row) const { return positionOf(row) >= 0; }

  // The first row after (backward: before) the row from, in the list's
  // order, for which test holds; with wrap the search goes on from the
  // other end up to from itself. A row that is not shown starts from the
  // list's start (backward: its end).
  template <typename Test>
  std::optional<std::int32_t> nearest(std::int32_t from, bool backward, bool wrap,
                                      Test test) const {
    const std::int32_t count = size();
    if (count == 0) return std::nullopt;
    std::int32_t start = positionOf(from);
    if (start < 0) start = backward ? count : -1;
    const std::int32_t step = backward ? -1 : 1;
    const std::int32_t steps = wrap ? count : (backward ? start : count - 1 - start);
    for (std::int32_t i = 1; i <= steps; ++i) {
      std::int32_t position = start + step * i;
      position = ((position % count) + count) % count;
      const std::int32_t row = rowAt(position);
      if (test(row)) return row;
    }
    return std::nullopt;
  }

 private:
  bool showsAll_ = true;
  std::int32_t rowCount_ = 0;
  std::vector<std::int32_t> rows_;       // by position, unless showsAll_
  std::vector<std::int32_t> positions_;  // by row, unless showsAll_
};

}  // namespace sorvane
