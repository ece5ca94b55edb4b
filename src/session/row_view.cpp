#include "session/row_view.h"

namespace sorvane {

void RowView::showAll(std::int32_t rowCount) {
  showsAll_ = true;
  rowCount_ = rowCount;
  rows_.clear();
  rows_.shrink_to_fit();
  positions_.clear();
  positions_.shrink_to_fit();
}

void RowView::show(std::vector<std::int32_t> rows, std::int32_t rowCount) {
  showsAll_ = false;
  rowCount_ = rowCount;
  rows_ = std::move(rows);
  positions_.assign(static_cast<std::size_t>(rowCount), -1);
  for (std::size_t position = 0; position < rows_.size(); ++position) {
    positions_[static_cast<std::size_t>(rows_[position])] = static_cast<std::int32_t>(position);
  }
}

std::int32_t RowView::rowAt(std::int32_t position) const {
  if (position < 0 || position >= size()) return -1;
  return showsAll_ ? position : rows_[static_cast<std::size_t>(position)];
}

std::int32_t RowView::positionOf(std::int32_t row) const {
  if (row < 0 || row >= rowCount_) return -1;
  return showsAll_ ? row : positions_[static_cast<std::size_t>(row)];
}

}  // namespace sorvane
