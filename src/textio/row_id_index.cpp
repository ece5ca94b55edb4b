#include "textio/row_id_index.h"

namespace sorvane {

void RowIdIndex::add(std::string_view id, std::int32_t row) {
  ids_.insert(ids_.end(), id.begin(), id.end());
  ends_.push_back({ids_.size(), row});
}

void RowIdIndex::makeTable() const {
  std::call_once(tableMade_, [this] {
    table_.reserve(ends_.size());
    for (std::size_t i = 0; i < ends_.size(); ++i) {
      table_.add(StringSlots::hashOf(idOf(i)), static_cast<std::uint32_t>(i));
    }
  });
}

std::optional<std::int32_t> RowIdIndex::find(std::string_view id, Cursor& cursor) const {
  if (cursor.next < ends_.size() && idOf(cursor.next) == id) return ends_[cursor.next++].row;
  if (ends_.empty()) return std::nullopt;
  makeTable();
  const std::optional<std::uint32_t> found =
      table_.find(id, StringSlots::hashOf(id), [this](std::uint32_t i) { return idOf(i); });
  if (!found) return std::nullopt;
  // Go on from there: the next unit is most likely the next row's.
  cursor.next = *found + 1;
  return ends_[*found].row;
}

}  // namespace sorvane
