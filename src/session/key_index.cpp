#include "session/key_index.h"

#include <algorithm>
#include <bit>

namespace sorvane {

namespace {

constexpr std::size_t kSmallestTable = 64;

}  // namespace

void KeyIndex::clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  used_ = 0;
}

void KeyIndex::reserve(std::size_t keys) {
  if (keys * 2 <= slots_.size()) return;
  // Only an empty index is sized up front; a filled one grows as it goes.
  if (used_ == 0) slots_.assign(std::bit_ceil(std::max(kSmallestTable, keys * 2)), Slot{});
}

void KeyIndex::grow() {
  // Positions come from the low bits, which every slot keeps: no key is
  // hashed again.
  LargeVector<Slot> old = std::move(slots_);
  slots_.assign(std::max(kSmallestTable, old.size() * 2), Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id == kNone) continue;
    std::size_t at = slot.hash & mask;
    while (slots_[at].id != kNone) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace sorvane
