#pragma once

#include "widetext/line_store.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

// An ordered list of 8-bit strings. A string never holds a zero byte:
// storing one keeps only the bytes before the first zero byte.
class ByteStringList {
 public:
  std::int32_t count() const { return static_cast<std::int32_t>(lines_.size()); }
  // Copy of string i; the empty string outside the list.
  std::string get(std::int32_t i) const { return std::string(view(i)); }
  // String i without a copy; valid until the list is next changed.
  std::string_view view(std::int32_t i) const;
  // Start fetching what view(i) reads: its slot, then its text.
  void prefetchSlot(std::int32_t i) const { lines_.prefetchSlot(static_cast<std::size_t>(i)); }
  void prefetchText(std::int32_t i) const { lines_.prefetchText(static_cast<std::size_t>(i)); }

  void add(std::string_view text);
  // Appends text; when an equal string was added not long ago, the new one
  // shares its storage, so texts that repeat (a file's section names) are
  // held once.
  void addReusing(std::string_view text);
  // Appends a copy of string i (0 <= i < count) that shares its storage.
  void addCopyOf(std::int32_t i) { lines_.addShared(static_cast<std::size_t>(i)); }
  // Replaces string i (i >= 0), padding the list with empty strings first.
  void set(std::int32_t i, std::string_view text);
  void remove(std::int32_t i);
  // Inserts a line before line i (0 <= i <= count).
  void insert(std::int32_t i, std::string_view text);
  void clear() { lines_.clear(); }
  void reserve(std::int32_t count);
  // Index of the first string equal to text, or -1.
  std::int32_t indexOf(std::string_view text) const;

 private:
  LineStore<char> lines_;
  // Recently added strings by a hash of their text, as line numbers.
  std::array<std::int32_t, 256> recent_ = [] {
    std::array<std::int32_t, 256> none{};
    none.fill(-1);
    return none;
  }();
};

}  // namespace sorvane
