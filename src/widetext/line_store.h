#pragma once

#include "platform/large_allocation.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sorvane {

// Storage of an ordered list of strings without an allocation per string.
// Strings live in large blocks; each line is a view into one of them. A
// whole text can be adopted as one block and its lines made views into it.
// Replaced and removed strings leave their bytes behind until the dead part
// outgrows the live part, when every live line is copied into fresh blocks.
template <typename Char>
class LineStore {
 public:
  using View = std::basic_string_view<Char>;

  LineStore() = default;
  LineStore(const LineStore& other) { *this = other; }
  LineStore& operator=(const LineStore& other) {
    if (this != &other) {
      LineStore copy;
      copy.copyLinesOf(other);
      *this = std::move(copy);
    }
    return *this;
  }
  LineStore(LineStore&& other) noexcept { swap(other); }
  LineStore& operator=(LineStore&& other) noexcept {
    LineStore moved(std::move(other));
    swap(moved);
    return *this;
  }
  ~LineStore() { releaseBlocks(); }

  std::size_t size() const { return lines_.size(); }
  View operator[](std::size_t i) const { return lines_[i]; }
  const std::vector<View, LargeAllocator<View>>& lines() const { return lines_; }
  std::size_t liveUnits() const { return liveUnits_; }

  void reserve(std::size_t count) { lines_.reserve(count); }

  void add(View text) {
    const View stored = store(text);
    lines_.push_back(stored);
    liveUnits_ += stored.size();
  }

  // Replaces line i; the list is first padded with empty lines up to i.
  void set(std::size_t i, View text) {
    if (i >= lines_.size()) lines_.resize(i + 1);
    const View stored = store(text);
    deadUnits_ += lines_[i].size();
    liveUnits_ = liveUnits_ - lines_[i].size() + stored.size();
    lines_[i] = stored;
    compactIfWasteful();
  }

  void remove(std::size_t i) {
    deadUnits_ += lines_[i].size();
    liveUnits_ -= lines_[i].size();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    compactIfWasteful();
  }

  void clear() {
    lines_.clear();
    lines_.shrink_to_fit();
    releaseBlocks();
    adopted_.clear();
    current_ = nullptr;
    used_ = capacity_ = 0;
    liveUnits_ = deadUnits_ = 0;
    sharedLines_ = 0;
  }

  // Takes ownership of a block of text; lines that point into it are then
  // added with addView. The block stays until clear().
  Char* adoptBlock(std::unique_ptr<Char[]> block) {
    adopted_.push_back(std::move(block));
    return adopted_.back().get();
  }

  // Adds a copy of line i that shares its storage, as the entries of a file
  // that point at one record share its text: however often a text is
  // shared, it is held once.
  void addShared(std::size_t i) {
    lines_.push_back(lines_[i]);
    liveUnits_ += lines_[i].size();
    if (!lines_[i].empty()) ++sharedLines_;
  }

  // Adds a line that views an adopted block (no copy).
  void addView(View text) {
    lines_.push_back(text);
    liveUnits_ += text.size();
  }

  template <typename Less>
  void sort(Less less) {
    std::stable_sort(lines_.begin(), lines_.end(), less);
  }

 private:
  // Blocks start at 32 Ki code units and grow with the list up to 2 MiB, so
  // that a large list lives in few large blocks. A string of a quarter of
  // the smallest block or more gets a block of its own.
  static constexpr std::size_t kFirstBlockUnits = std::size_t{1} << 15;
  static constexpr std::size_t kLargestBlockUnits = (std::size_t{2} << 20) / sizeof(Char);
  static constexpr std::size_t kOwnBlockUnits = kFirstBlockUnits / 4;
  static constexpr std::size_t kMinDeadUnitsToCompact = std::size_t{1} << 20;

  struct Block {
    Char* data;
    std::size_t units;
  };

  Char* newBlock(std::size_t units) {
    blocks_.reserve(blocks_.size() + 1);
    auto* data = static_cast<Char*>(allocateLarge(units * sizeof(Char)));
    blocks_.push_back({data, units});
    return data;
  }

  void releaseBlocks() noexcept {
    for (const Block& block : blocks_) freeLarge(block.data, block.units * sizeof(Char));
    blocks_.clear();
  }

  void swap(LineStore& other) noexcept {
    std::swap(lines_, other.lines_);
    std::swap(blocks_, other.blocks_);
    std::swap(adopted_, other.adopted_);
    std::swap(current_, other.current_);
    std::swap(used_, other.used_);
    std::swap(capacity_, other.capacity_);
    std::swap(liveUnits_, other.liveUnits_);
    std::swap(deadUnits_, other.deadUnits_);
    std::swap(sharedLines_, other.sharedLines_);
  }

  View store(View text) {
    if (text.empty()) return {};
    Char* target = nullptr;
    if (text.size() >= kOwnBlockUnits) {
      target = newBlock(text.size());
    } else {
      if (capacity_ - used_ < text.size()) {
        const std::size_t units = std::clamp(liveUnits_ / 4, kFirstBlockUnits, kLargestBlockUnits);
        current_ = newBlock(units);
        used_ = 0;
        capacity_ = units;
      }
      target = current_ + used_;
      used_ += text.size();
    }
    std::copy(text.begin(), text.end(), target);
    return View(target, text.size());
  }

  // Copies every line of other into this empty store. Lines that share
  // storage there share it here too.
  void copyLinesOf(const LineStore& other) {
    reserve(other.lines_.size());
    if (other.sharedLines_ == 0) {
      for (View line : other.lines_) add(line);
      return;
    }
    std::unordered_map<const Char*, std::size_t> copied;  // storage -> first line
    for (View line : other.lines_) {
      if (line.empty()) {
        add(line);
        continue;
      }
      const auto [at, isNew] = copied.try_emplace(line.data(), lines_.size());
      if (isNew || lines_[at->second].size() != line.size()) {
        add(line);
      } else {
        addShared(at->second);
      }
    }
  }

  void compactIfWasteful() {
    if (deadUnits_ < kMinDeadUnitsToCompact || deadUnits_ < liveUnits_) return;
    LineStore fresh;
    fresh.copyLinesOf(*this);
    *this = std::move(fresh);
  }

  std::vector<View, LargeAllocator<View>> lines_;
  std::vector<Block> blocks_;
  std::vector<std::unique_ptr<Char[]>> adopted_;
  Char* current_ = nullptr;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
  std::size_t liveUnits_ = 0;
  std::size_t deadUnits_ = 0;
  // Lines added by addShared; while there are none, copies need no lookup.
  std::size_t sharedLines_ = 0;
};

}  // namespace sorvane
