#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
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
      clear();
      reserve(other.lines_.size());
      for (View line : other.lines_) add(line);
    }
    return *this;
  }
  LineStore(LineStore&&) noexcept = default;
  LineStore& operator=(LineStore&&) noexcept = default;

  std::size_t size() const { return lines_.size(); }
  View operator[](std::size_t i) const { return lines_[i]; }
  const std::vector<View>& lines() const { return lines_; }
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
    blocks_.clear();
    current_ = nullptr;
    used_ = capacity_ = 0;
    liveUnits_ = deadUnits_ = 0;
  }

  // Takes ownership of a block of text; lines that point into it are then
  // added with addView. The block stays until clear().
  Char* adoptBlock(std::unique_ptr<Char[]> block) {
    blocks_.push_back(std::move(block));
    return blocks_.back().get();
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
  // Blocks hold 32 Ki code units; a string of a quarter block or more gets a
  // block of its own so that large strings waste no space.
  static constexpr std::size_t kBlockUnits = std::size_t{1} << 15;
  static constexpr std::size_t kOwnBlockUnits = kBlockUnits / 4;
  static constexpr std::size_t kMinDeadUnitsToCompact = std::size_t{1} << 20;

  View store(View text) {
    if (text.empty()) return {};
    Char* target = nullptr;
    if (text.size() >= kOwnBlockUnits) {
      target = adoptBlock(std::make_unique_for_overwrite<Char[]>(text.size()));
    } else {
      if (capacity_ - used_ < text.size()) {
        current_ = adoptBlock(std::make_unique_for_overwrite<Char[]>(kBlockUnits));
        used_ = 0;
        capacity_ = kBlockUnits;
      }
      target = current_ + used_;
      used_ += text.size();
    }
    std::copy(text.begin(), text.end(), target);
    return View(target, text.size());
  }

  void compactIfWasteful() {
    if (deadUnits_ < kMinDeadUnitsToCompact || deadUnits_ < liveUnits_) return;
    LineStore fresh;
    fresh.reserve(lines_.size());
    for (View line : lines_) fresh.add(line);
    *this = std::move(fresh);
  }

  std::vector<View> lines_;
  std::vector<std::unique_ptr<Char[]>> blocks_;
  Char* current_ = nullptr;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
  std::size_t liveUnits_ = 0;
  std::size_t deadUnits_ = 0;
};

}  // namespace sorvane
