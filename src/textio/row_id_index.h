#pragma once

#include "platform/large_allocation.h"
#include "textio/string_slots.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace sorvane {

// The rows of a Mod by the ids their units went out with, for an import
// that gives hundreds of thousands of ids back. The ids live in one buffer.
// Units mostly come back in the order they went out, so the row after the
// last one found is tried first; only when that fails is the index made, an
// open-addressed table of the ids' hashes (no allocation an id), and used
// from then on. A tool that reorders the units is served by it at the cost
// of a probe or two an id, and a look at memory far apart. Once the ids
// are added, several threads may look them up, each with a cursor of its
// own.
class RowIdIndex {
 public:
  // Ids are added in the order their units are most likely to come in.
  void add(std::string_view id, std::int32_t row);
  void reserve(std::size_t rows) { ends_.reserve(rows); }
  std::size_t size() const { return ends_.size(); }

  // Where a reader of ids stands: the id after the last one it found is
  // tried first.
  struct Cursor {
    std::size_t next = 0;
  };
  // The row of the unit with this id, if there is one.
  std::optional<std::int32_t> find(std::string_view id, Cursor& cursor) const;
  // The same for an id whose hash (StringSlots::hashOf) is at hand.
  std::optional<std::int32_t> find(std::string_view id, std::size_t hash, Cursor& cursor) const;
  // For ids looked up out of order, once the table is made: starts fetching
  // what the find of the id with this hash reads, in kPrefetchSteps steps
  // from 0, each once the one before has had time to arrive.
  static constexpr int kPrefetchSteps = 3;
  void prefetch(std::size_t hash, int step) const;
  std::optional<std::int32_t> find(std::string_view id) { return find(id, cursor_); }
  // Makes the table now, for ids known to come out of order.
  void makeTable() const;

 private:
  std::string_view idOf(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1].end;
    return {ids_.data() + start, ends_[i].end - start};
  }

  struct End {
    std::size_t end;  // where the id of this row ends in ids_
    std::int32_t row;
  };
  std::vector<char, UninitializedLargeAllocator<char>> ids_;
  LargeVector<End> ends_;
  Cursor cursor_;
  mutable std::once_flag tableMade_;
  mutable StringSlots table_;  // made at the first id not found in order
};

}  // namespace sorvane
