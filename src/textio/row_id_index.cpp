#include "textio/row_id_index.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace sorvane {

namespace {

std::size_t hashOf(std::string_view id) { return std::hash<std::string_view>()(id); }

}  // namespace

void RowIdIndex::add(std::string_view id, std::int32_t row) {
  ids_.insert(ids_.end(), id.begin(), id.end());
  ends_.push_back({ids_.size(), row});
}

void RowIdIndex::buildTable() {
  // At most half full, so that a probe mostly ends at its first slot.
  const std::size_t size = std::bit_ceil(std::max<std::size_t>(ends_.size() * 2, 16));
  slots_.assign(size, 0);
  slotHashes_.assign(size, 0);
  mask_ = size - 1;
  for (std::size_t i = 0; i < ends_.size(); ++i) {
    const std::size_t hash = hashOf(idOf(i));
    std::size_t slot = hash & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<std::uint32_t>(i + 1);
    slotHashes_[slot] = static_cast<std::uint32_t>(hash >> 32);
  }
}

std::optional<std::int32_t> RowIdIndex::find(std::string_view id) {
  if (next_ < ends_.size() && idOf(next_) == id) return ends_[next_++].row;
  if (ends_.empty()) return std::nullopt;
  if (slots_.empty()) buildTable();
  const std::size_t hash = hashOf(id);
  const auto high = static_cast<std::uint32_t>(hash >> 32);
  for (std::size_t slot = hash & mask_; slots_[slot] != 0; slot = (slot + 1) & mask_) {
    const std::size_t i = slots_[slot] - 1;
    if (slotHashes_[slot] == high && idOf(i) == id) {
      // Go on from there: the next unit is most likely the next row's.
      next_ = i + 1;
      return ends_[i].row;
    }
  }
  return std::nullopt;
}

}  // namespace sorvane
