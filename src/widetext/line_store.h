#pragma once

#include "platform/large_allocation.h"
#include "platform/prefetch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sorvane {

// Storage of an ordered list of strings without an allocation per string.
// Strings live in large blocks; each line is eight bytes that name its
// block, where it starts there and its length (a line that doesn't fit that
// is kept as a full view on the side). A whole text can be adopted as one
// block and its lines made views into it. Replaced and removed strings leave
// their bytes behind until the dead part outgrows the live part, when every
// live line is copied into fresh blocks. A copy of a store shares its
// blocks, which are never written once a line points into them, and puts
// the strings it is given later in blocks of its own.
template <typename Char>
class LineStore {
 public:
  using View = std::basic_string_view<Char>;

  LineStore() = default;
  LineStore(const LineStore& other) { *this = other; }
  LineStore& operator=(const LineStore& other) {
    if (this != &other) {
      LineStore copy;
      copy.shareBlocksOf(other);
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
  ~LineStore() = default;

  std::size_t size() const { return lines_.size(); }
  View operator[](std::size_t i) const { return decode(lines_[i]); }
  std::size_t liveUnits() const { return liveUnits_; }
  // Start fetching what reading line i takes: its slot, then, once the slot
  // has come, its text.
  void prefetchSlot(std::size_t i) const {
    if (i < lines_.size()) prefetchMemory(lines_.data() + i);
  }
  void prefetchText(std::size_t i) const {
    if (i < lines_.size()) prefetchMemory(decode(lines_[i]).data());
  }

  void reserve(std::size_t count) { lines_.reserve(count); }

  void add(View text) {
    lines_.push_back(store(text));
    liveUnits_ += text.size();
  }

  // Replaces line i; the list is first padded with empty lines up to i.
  void set(std::size_t i, View text) {
    if (i >= lines_.size()) lines_.resize(i + 1, kEmptyLine);
    const std::size_t old = (*this)[i].size();
    lines_[i] = store(text);
    deadUnits_ += old;
    liveUnits_ = liveUnits_ - old + text.size();
    compactIfWasteful();
  }

  // Inserts a line before line i (i <= size).
  void insert(std::size_t i, View text) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), store(text));
    liveUnits_ += text.size();
  }

  void remove(std::size_t i) {
    const std::size_t old = (*this)[i].size();
    deadUnits_ += old;
    liveUnits_ -= old;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    compactIfWasteful();
  }

  void clear() {
    lines_.clear();
    lines_.shrink_to_fit();
    blocks_.clear();
    blocks_.shrink_to_fit();
    bases_.clear();
    escaped_.clear();
    escaped_.shrink_to_fit();
    current_ = nullptr;
    currentBase_ = 0;
    used_ = capacity_ = 0;
    liveUnits_ = deadUnits_ = 0;
    sharedLines_ = 0;
  }

  // Takes ownership of a block of text; lines that point into it are then
  // added with addView. The block stays until clear().
  Char* adoptBlock(std::unique_ptr<Char[]> block) {
    Char* data = block.get();
    blocks_.push_back(std::make_shared<Block>(std::move(block)));
    adoptedBase_ = addBase(data);
    return data;
  }

  // Adds a copy of line i that shares its storage, as the entries of a file
  // that point at one record share its text: however often a text is
  // shared, it is held once.
  void addShared(std::size_t i) {
    const std::uint64_t line = lines_[i];
    lines_.push_back(line);
    const std::size_t units = decode(line).size();
    liveUnits_ += units;
    if (units != 0) ++sharedLines_;
  }

  // A block of units for the caller to fill whole at once, owned by the
  // store; lines that point into it are then added with addView, in
  // ascending order.
  Char* ownBlock(std::size_t units) {
    Char* data = newBlock(units, LargeUse::filledAtOnce);
    adoptedBase_ = bases_.size() - 1;
    return data;
  }

  // Gives back the part of the block made by ownBlock past its first units.
  void trimOwnedBlock(const Char* data, std::size_t units) {
    for (const std::shared_ptr<Block>& block : blocks_) {
      // A block a copy shares stays whole: the copy may hold lines past units.
      if (block->data == data && !block->adopted && block.use_count() == 1) {
        block->bytes = shrinkLarge(block->data, block->bytes, units * sizeof(Char));
        return;
      }
    }
  }

  // Adds a line that views the block adopted or owned last (no copy).
  void addView(View text) {
    // A block larger than a line's start field can name is numbered anew
    // where the field would overflow.
    const Char* base = bases_[adoptedBase_];
    if (!text.empty() && text.data() > base &&
        static_cast<std::size_t>(text.data() - base) > kFieldMask) {
      adoptedBase_ = addBase(text.data());
    }
    lines_.push_back(encode(adoptedBase_, bases_[adoptedBase_], text));
    liveUnits_ += text.size();
  }

  template <typename Less>
  void sort(Less less) {
    std::stable_sort(lines_.begin(), lines_.end(), [this, &less](std::uint64_t a, std::uint64_t b) {
      return less(decode(a), decode(b));
    });
  }

 private:
  // Blocks start at 32 Ki code units and grow with the list up to 2 MiB, so
  // that a large list lives in few large blocks. A string of a quarter of
  // the smallest block or more gets a block of its own.
  static constexpr std::size_t kFirstBlockUnits = std::size_t{1} << 15;
  static constexpr std::size_t kLargestBlockUnits = (std::size_t{2} << 20) / sizeof(Char);
  static constexpr std::size_t kOwnBlockUnits = kFirstBlockUnits / 4;
  static constexpr std::size_t kMinDeadUnitsToCompact = std::size_t{1} << 20;

  // A line: the length in the low 24 bits, the start in its block in the
  // next 24 and the block's number in the top 16. The top number kEscaped
  // says that the rest is the line's place in escaped_.
  static constexpr unsigned kFieldBits = 24;
  static constexpr std::uint64_t kFieldMask = (std::uint64_t{1} << kFieldBits) - 1;
  static constexpr std::uint64_t kEscaped = 0xFFFF;
  static constexpr std::uint64_t kEmptyLine = 0;

  // Memory of large blocks, or (with bytes 0) an adopted text; freed with
  // the last store that holds it.
  struct Block {
    Block(std::size_t units, LargeUse use)
        : data(static_cast<Char*>(allocateLarge(units * sizeof(Char), use))),
          bytes(units * sizeof(Char)) {}
    explicit Block(std::unique_ptr<Char[]> text) : adopted(std::move(text)), data(adopted.get()) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() {
      if (!adopted) freeLarge(data, bytes);
    }
    std::unique_ptr<Char[]> adopted;
    Char* data = nullptr;
    std::size_t bytes = 0;
  };

  View decode(std::uint64_t line) const {
    const std::uint64_t base = line >> (2 * kFieldBits);
    if (base == kEscaped) return escaped_[line & ((std::uint64_t{1} << (2 * kFieldBits)) - 1)];
    const std::size_t length = line & kFieldMask;
    if (length == 0) return {};
    return View(bases_[base] + ((line >> kFieldBits) & kFieldMask), length);
  }

  std::uint64_t encode(std::size_t base, const Char* baseData, View text) {
    if (text.empty()) return kEmptyLine;
    const auto offset = static_cast<std::size_t>(text.data() - baseData);
    if (base < kEscaped && offset <= kFieldMask && text.size() <= kFieldMask) {
      return (std::uint64_t{base} << (2 * kFieldBits)) | (std::uint64_t{offset} << kFieldBits) |
             text.size();
    }
    escaped_.push_back(text);
    return (kEscaped << (2 * kFieldBits)) | (escaped_.size() - 1);
  }

  std::size_t addBase(const Char* data) {
    bases_.push_back(data);
    return bases_.size() - 1;
  }

  Char* newBlock(std::size_t units, LargeUse use = LargeUse::grows) {
    blocks_.reserve(blocks_.size() + 1);
    bases_.reserve(bases_.size() + 1);
    blocks_.push_back(std::make_shared<Block>(units, use));
    Char* data = blocks_.back()->data;
    addBase(data);
    return data;
  }

  void swap(LineStore& other) noexcept {
    std::swap(lines_, other.lines_);
    std::swap(blocks_, other.blocks_);
    std::swap(bases_, other.bases_);
    std::swap(escaped_, other.escaped_);
    std::swap(current_, other.current_);
    std::swap(currentBase_, other.currentBase_);
    std::swap(adoptedBase_, other.adoptedBase_);
    std::swap(used_, other.used_);
    std::swap(capacity_, other.capacity_);
    std::swap(liveUnits_, other.liveUnits_);
    std::swap(deadUnits_, other.deadUnits_);
    std::swap(sharedLines_, other.sharedLines_);
  }

  // Copies the text into a block and returns its line.
  std::uint64_t store(View text) {
    if (text.empty()) return kEmptyLine;
    Char* target = nullptr;
    std::size_t base = 0;
    if (text.size() >= kOwnBlockUnits) {
      target = newBlock(text.size());
      base = bases_.size() - 1;
    } else {
      if (capacity_ - used_ < text.size()) {
        const std::size_t units = std::clamp(liveUnits_ / 4, kFirstBlockUnits, kLargestBlockUnits);
        current_ = newBlock(units);
        currentBase_ = bases_.size() - 1;
        used_ = 0;
        capacity_ = units;
      }
      target = current_ + used_;
      base = currentBase_;
      used_ += text.size();
    }
    std::copy(text.begin(), text.end(), target);
    return encode(base, bases_[base], View(target, text.size()));
  }

  // Copies every line of other into this empty store. Lines that share
  // storage there share it here too.
  void copyLinesOf(const LineStore& other) {
    reserve(other.lines_.size());
    if (other.sharedLines_ == 0) {
      for (std::size_t i = 0; i < other.size(); ++i) add(other[i]);
      return;
    }
    std::unordered_map<const Char*, std::size_t> copied;  // storage -> first line
    for (std::size_t i = 0; i < other.size(); ++i) {
      const View line = other[i];
      if (line.empty()) {
        add(line);
        continue;
      }
      const auto [at, isNew] = copied.try_emplace(line.data(), lines_.size());
      if (isNew || (*this)[at->second].size() != line.size()) {
        add(line);
      } else {
        addShared(at->second);
      }
    }
  }

  // Makes this empty store a copy of other that shares its blocks; its own
  // strings go to blocks of its own, so neither writes where the other reads.
  void shareBlocksOf(const LineStore& other) {
    lines_ = other.lines_;
    blocks_ = other.blocks_;
    bases_ = other.bases_;
    escaped_ = other.escaped_;
    adoptedBase_ = other.adoptedBase_;
    liveUnits_ = other.liveUnits_;
    deadUnits_ = other.deadUnits_;
    sharedLines_ = other.sharedLines_;
  }

  void compactIfWasteful() {
    if (deadUnits_ < kMinDeadUnitsToCompact || deadUnits_ < liveUnits_) return;
    LineStore fresh;
    fresh.copyLinesOf(*this);
    *this = std::move(fresh);
  }

  std::vector<std::uint64_t> lines_;
  std::vector<std::shared_ptr<Block>> blocks_;
  // The start of every block, owned or adopted, by its number.
  std::vector<const Char*> bases_;
  // Lines whose place doesn't fit eight bytes.
  std::vector<View> escaped_;
  Char* current_ = nullptr;
  std::size_t currentBase_ = 0;
  std::size_t adoptedBase_ = 0;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
  std::size_t liveUnits_ = 0;
  std::size_t deadUnits_ = 0;
  // Lines added by addShared; while there are none, copies need no lookup.
  std::size_t sharedLines_ = 0;
};

}  // namespace sorvane
