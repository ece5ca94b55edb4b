#include "session/key_index.h"

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

std::uint64_t KeyIndex::hashOf(std::string_view key) {
  // FNV-1a, then mixed so that the low bits (the table position) depend on
  // every byte.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (char byte : key) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ULL;
  }
  hash ^= hash >> 29;
  hash *= 0xbf58476d1ce4e5b9ULL;
  return hash ^ (hash >> 32);
}

std::int32_t KeyIndex::find(std::string_view key, const ByteStringList& keys) const {
  if (slots_.empty()) return kNone;
  const std::uint64_t hash = hashOf(key);
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.row == kNone) return kNone;
    if (slot.hash == tag && keys.view(slot.row) == key) return slot.row;
  }
}

std::int32_t KeyIndex::findOrAdd(std::string_view key, std::int32_t row,
                                 const ByteStringList& keys) {
  if ((used_ + 1) * 2 > slots_.size()) grow(keys);
  const std::uint64_t hash = hashOf(key);
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.row == kNone) {
      slot = {tag, row};
      ++used_;
      return row;
    }
    if (slot.hash == tag && keys.view(slot.row) == key) return slot.row;
  }
}

void KeyIndex::grow(const ByteStringList& keys) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(std::max(kSmallestTable, old.size() * 2), Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.row == kNone) continue;
    const std::uint64_t hash = hashOf(keys.view(slot.row));
    std::size_t at = hash & mask;
    while (slots_[at].row != kNone) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace sorvane
