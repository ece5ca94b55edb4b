#pragma once

#include "platform/large_allocation.h"
#include "platform/prefetch.h"

#include <cstdint>
#include <vector>

namespace sorvane {

// Finds the key id of a match key. The keys themselves stay where they are
// (in the documents); the index holds only ids with their key's table hash
// in one open-addressed table, so that building it for hundreds of
// thousands of keys takes no allocation per key. The caller hashes a key
// and tells whether an id's key equals it.
class KeyIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  void clear();
  void reserve(std::size_t keys);

  // The id whose key has the hash and satisfies isKey, or kNone.
  template <typename IsKey>
  std::int32_t find(std::uint64_t hash, IsKey isKey) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.id == kNone) return kNone;
      if (slot.hash == static_cast<std::uint32_t>(hash) && isKey(slot.id)) return slot.id;
    }
  }
  // Starts fetching the table place of a hash ahead of a find.
  void prefetch(std::uint64_t hash) const {
    if (slots_.empty()) return;
    prefetchMemory(slots_.data() + (hash & (slots_.size() - 1)));
  }
  // Like find; when the key is new, id becomes its id and is returned.
  template <typename IsKey>
  std::int32_t findOrAdd(std::uint64_t hash, std::int32_t id, IsKey isKey) {
    if ((used_ + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.id == kNone) {
        slot = {static_cast<std::uint32_t>(hash), id};
        ++used_;
        return id;
      }
      if (slot.hash == static_cast<std::uint32_t>(hash) && isKey(slot.id)) return slot.id;
    }
  }

 private:
  // The low 32 bits of the hash: the table position and a quick check.
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t id = kNone;
  };

  void grow();

  LargeVector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace sorvane
