#pragma once

#include "widetext/line_store.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

class ByteStream;

// The result of loading lines from a stream: success, or a refusal that
// carries a message text for the caller to show if it wants to.
struct StreamLoadResult {
  bool ok = true;
  std::u16string message;

  explicit operator bool() const { return ok; }
};

// An ordered list of UTF-16 lines with a line-text form (every line followed
// by CR LF), loading from and saving to UTF-16LE streams and files, and a
// name/value view over lines of the form name=value.
//
// A line never holds U+0000: storing a string keeps only the code units
// before the first U+0000. Lines loaded from a text share one private copy
// of that text; lines stored one by one are packed into large blocks.
class WideStringList {
 public:
  static constexpr std::u16string_view kOddLengthMessage =
      u"Wide strings streams must be of even length in bytes.";

  std::int32_t count() const { return static_cast<std::int32_t>(lines_.size()); }
  // Copy of line i; the empty string outside the list.
  std::u16string get(std::int32_t i) const { return std::u16string(view(i)); }
  // Line i without a copy; valid until the list is next changed.
  std::u16string_view view(std::int32_t i) const;
  // Start fetching what view(i) reads: its slot, then its text.
  void prefetchSlot(std::int32_t i) const { lines_.prefetchSlot(static_cast<std::size_t>(i)); }
  void prefetchText(std::int32_t i) const { lines_.prefetchText(static_cast<std::size_t>(i)); }

  // Replaces line i (i >= 0), padding the list with empty lines first.
  void set(std::int32_t i, std::u16string_view text);
  void add(std::u16string_view text);
  // Appends a copy of line i (0 <= i < count) that shares its storage.
  void addCopyOf(std::int32_t i) { lines_.addShared(static_cast<std::size_t>(i)); }
  // Deletes line i (0 <= i < count); the lines after it move up.
  void remove(std::int32_t i);
  // Inserts a line before line i (0 <= i <= count).
  void insert(std::int32_t i, std::u16string_view text);
  void clear() { lines_.clear(); }
  void reserve(std::int32_t lineCount);

  // A block of code units for a reader to fill, owned by the list. Lines
  // that view it are added with addView, in ascending order, and must hold
  // no U+0000; trimOwnedBlock gives back the block's end past its first
  // units once it is filled.
  char16_t* ownBlock(std::size_t units) { return lines_.ownBlock(units); }
  void addView(std::u16string_view text) { lines_.addView(text); }
  void trimOwnedBlock(const char16_t* block, std::size_t units) {
    lines_.trimOwnedBlock(block, units);
  }

  // Index of the first line equal to text (code unit by code unit), or -1.
  std::int32_t indexOf(std::u16string_view text) const;
  // Ascending code-unit order; without caseSensitive, lines compare through
  // their upper-cased code units. Equal lines keep their order.
  void sort(bool caseSensitive);

  std::u16string joinedText() const;
  // Replaces all lines by the lines of text. A CR ends a line; the code unit
  // right after it is never itself a line end: an LF there is dropped, any
  // other unit starts the next line. A lone LF is ordinary text. U+0000
  // ends a line like a CR.
  void setText(std::u16string_view text);
  void assignLines(const WideStringList& other) { setText(other.joinedText()); }

  // Appends the lines of the rest of the stream, read as UTF-16LE. An odd
  // remaining byte count, or a read error, is refused with the list unchanged.
  StreamLoadResult appendFromStream(ByteStream& stream);
  StreamLoadResult loadFromStream(ByteStream& stream);
  bool appendFromFile(std::u16string_view path);
  // False, with the list empty, when the file can't be opened or is refused.
  bool loadFromFile(std::u16string_view path);
  // Writes the line-text form as UTF-16LE, without a byte order mark, in one
  // write. False when the write failed.
  bool saveToStream(ByteStream& stream) const;
  bool saveToFile(std::u16string_view path) const;

  char16_t nameDelimiter() const { return nameDelimiter_; }
  // Index of the first line that starts with name and the delimiter; -1 for
  // an empty name or when none does.
  std::int32_t indexOfName(std::u16string_view name) const;
  // Everything after name and delimiter on that line; empty when none.
  std::u16string getValue(std::u16string_view name) const;
  // Replaces that line in place by name=value, or appends it.
  void setValue(std::u16string_view name, std::u16string_view value);

 private:
  std::size_t joinedLength() const;
  void writeJoined(char16_t* target) const;
  // Replaces all lines by the lines of a text the list takes ownership of.
  void adoptText(std::unique_ptr<char16_t[]> text, std::size_t length);

  LineStore<char16_t> lines_;
  char16_t nameDelimiter_ = u'=';
};

}  // namespace sorvane
