#pragma once

#include "widetext/byte_string_list.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sorvane {

// Finds the first row with a match key. The rows' keys stay in their list;
// the index holds only row numbers with a part of each key's hash, in one
// open-addressed table, so that building it for hundreds of thousands of
// keys takes no allocation per key.
class KeyIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  void clear();
  void reserve(std::size_t keys);

  // The first row of keys that holds key, or kNone.
  std::int32_t find(std::string_view key, const ByteStringList& keys) const;
  // Like find; when the key is new, row (whose key in keys is key) becomes
  // its first row and is returned.
  std::int32_t findOrAdd(std::string_view key, std::int32_t row, const ByteStringList& keys);

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t row = kNone;
  };

  static std::uint64_t hashOf(std::string_view key);
  void grow(const ByteStringList& keys);

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace sorvane
