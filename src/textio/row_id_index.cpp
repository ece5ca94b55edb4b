#include "textio/row_id_index.h"

#include "platform/prefetch.h"

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

void RowIdIndex::prefetch(std::size_t hash, int step) const {
  if (step == 0) {
    table_.prefetch(hash);
    return;
  }
  const std::optional<std::uint32_t> likely = table_.likelyNumber(hash);
  if (!likely) return;
  if (step == 1) {
    prefetchMemory(ends_.data() + *likely);
    if (*likely > 0) prefetchMemory(ends_.data() + *likely - 1);
  } else {
    const std::size_t start = *likely == 0 ? 0 : ends_[*likely - 1].end;
    prefetchMemory(ids_.data() + start, ends_[*likely].end - start);
  }
}

std::optional<std::int32_t> RowIdIndex::find(std::string_view id, Cursor& cursor) const {
  return find(id, StringSlots::hashOf(id), cursor);
}

std::optional<std::int32_t> RowIdIndex::find(std::string_view id, std::size_t hash,
                                             Cursor& cursor) const {
  if (cursor.next < ends_.size() && idOf(cursor.next) == id) return ends_[cursor.next++].row;
  if (ends_.empty()) return std::nullopt;
  makeTable();
  const std::optional<std::uint32_t> found =
      table_.find(id, hash, [this](std::uint32_t i) { return idOf(i); });
  if (!found) return std::nullopt;
  // Go on from there: the next unit is most likely the next row's.
  cursor.next = *found + 1;
  return ends_[*found].row;
}

}  // namespace sorvane
