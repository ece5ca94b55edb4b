#pragma once

#include "platform/large_allocation.h"
#include "platform/prefetch.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace sorvane {

// An open-addressed table from strings to the numbers the caller gives
// them, the strings held by the caller and named back by number: no
// allocation a string, and for most lookups one look at memory besides the
// string itself. For the hundreds of thousands of keys and contexts of a
// catalogue, where a node-based map misses the cache three times a lookup.
class StringSlots {
 public:
  static std::size_t hashOf(std::string_view text) { return std::hash<std::string_view>()(text); }

  // Room for this many strings, the table at most half full; forgets all.
  void reserve(std::size_t strings) {
    const std::size_t size = std::bit_ceil(std::max<std::size_t>(strings * 2, 16));
    slots_.assign(size, Slot{});
    mask_ = size - 1;
  }
  bool empty() const { return slots_.empty(); }

  // The number of text, where textOf(number) names each number's string.
  template <typename TextOf>
  std::optional<std::uint32_t> find(std::string_view text, std::size_t hash,
                                    const TextOf& textOf) const {
    return findWhere(hash, [&](std::uint32_t number) { return textOf(number) == text; });
  }
  // The number of the hash for which isIt(number) holds: for what is
  // compared otherwise than as one string.
  template <typename IsIt>
  std::optional<std::uint32_t> findWhere(std::size_t hash, const IsIt& isIt) const {
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask_; slots_[at].number != 0; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.high == high && isIt(slot.number - 1)) return slot.number - 1;
    }
    return std::nullopt;
  }
  // Starts fetching the table place of a hash ahead of a find.
  void prefetch(std::size_t hash) const {
    if (!slots_.empty()) prefetchMemory(slots_.data() + (hash & mask_));
  }
  // The first number the hash's places hold under its high bits: the one a
  // find most likely gives.
  std::optional<std::uint32_t> likelyNumber(std::size_t hash) const {
    if (slots_.empty()) return std::nullopt;
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask_; slots_[at].number != 0; at = (at + 1) & mask_) {
      if (slots_[at].high == high) return slots_[at].number - 1;
    }
    return std::nullopt;
  }
  // Adds a string not in the table yet, by its hash, under number (less
  // than 2^32 - 1). The table must have room (reserve).
  void add(std::size_t hash, std::uint32_t number) {
    std::size_t at = hash & mask_;
    while (slots_[at].number != 0) at = (at + 1) & mask_;
    slots_[at] = {number + 1, static_cast<std::uint32_t>(hash >> 32)};
  }

 private:
  struct Slot {
    std::uint32_t number = 0;  // the string's number + 1; 0: empty
    std::uint32_t high = 0;    // the hash's high bits, to pass most others by
  };
  LargeVector<Slot> slots_;
  std::size_t mask_ = 0;
};

}  // namespace sorvane
