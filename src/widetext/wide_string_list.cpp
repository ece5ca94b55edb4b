#include "widetext/wide_string_list.h"

#include "platform/case_mapping.h"
#include "platform/system_error.h"
#include "widetext/byte_stream.h"
#include "widetext/nul_unit.h"

#include <bit>
#include <cstring>
#include <limits>

namespace sorvane {

static_assert(std::endian::native == std::endian::little,
              "UTF-16LE streams are read and written as host code units");

namespace {

constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kLineFeed = u'\n';

std::u16string_view beforeFirstNul(std::u16string_view text) {
  const std::size_t nul = firstNulUnit(text);
  return nul == std::u16string_view::npos ? text : text.substr(0, nul);
}

bool endsLine(char16_t unit) { return unit == kCarriageReturn || unit == u'\0'; }

// Walks the line ends of text by the splitting rules and calls onLine for
// each line, the last one included.
template <typename OnLine>
void splitLines(const char16_t* text, std::size_t length, OnLine onLine) {
  std::size_t lineStart = 0;
  std::size_t i = 0;
  while (i < length) {
    if (!endsLine(text[i])) {
      ++i;
      continue;
    }
    onLine(lineStart, i);
    ++i;
    // The unit after a line end never ends a line itself: an LF there is
    // dropped and any other unit is text of the next line. Only U+0000 still
    // ends a line there, since no line may hold it.
    lineStart = i;
    if (i < length && text[i] == kLineFeed) {
      lineStart = ++i;
    } else if (i < length && text[i] != u'\0') {
      ++i;
    }
  }
  if (lineStart < length) onLine(lineStart, length);
}

}  // namespace

std::u16string_view WideStringList::view(std::int32_t i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= lines_.size()) return {};
  return lines_[static_cast<std::size_t>(i)];
}

void WideStringList::set(std::int32_t i, std::u16string_view text) {
  if (i < 0) return;
  lines_.set(static_cast<std::size_t>(i), beforeFirstNul(text));
}

void WideStringList::add(std::u16string_view text) { lines_.add(beforeFirstNul(text)); }

void WideStringList::remove(std::int32_t i) {
  if (i < 0 || static_cast<std::size_t>(i) >= lines_.size()) return;
  lines_.remove(static_cast<std::size_t>(i));
}

void WideStringList::insert(std::int32_t i, std::u16string_view text) {
  if (i < 0 || static_cast<std::size_t>(i) > lines_.size()) return;
  lines_.insert(static_cast<std::size_t>(i), beforeFirstNul(text));
}

void WideStringList::reserve(std::int32_t lineCount) {
  if (lineCount > 0) lines_.reserve(static_cast<std::size_t>(lineCount));
}

std::int32_t WideStringList::indexOf(std::u16string_view text) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i] == text) return static_cast<std::int32_t>(i);
  }
  return -1;
}

void WideStringList::sort(bool caseSensitive) {
  if (caseSensitive) {
    lines_.sort([](std::u16string_view a, std::u16string_view b) { return a < b; });
  } else {
    lines_.sort(
        [](std::u16string_view a, std::u16string_view b) { return compareUpperCased(a, b) < 0; });
  }
}

std::size_t WideStringList::joinedLength() const { return lines_.liveUnits() + 2 * lines_.size(); }

void WideStringList::writeJoined(char16_t* target) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::u16string_view line = lines_[i];
    target = std::copy(line.begin(), line.end(), target);
    *target++ = kCarriageReturn;
    *target++ = kLineFeed;
  }
}

std::u16string WideStringList::joinedText() const {
  std::u16string text(joinedLength(), u'\0');
  writeJoined(text.data());
  return text;
}

void WideStringList::setText(std::u16string_view text) {
  if (text.empty()) {
    clear();
    return;
  }
  auto copy = std::make_unique_for_overwrite<char16_t[]>(text.size());
  std::copy(text.begin(), text.end(), copy.get());
  adoptText(std::move(copy), text.size());
}

void WideStringList::adoptText(std::unique_ptr<char16_t[]> text, std::size_t length) {
  clear();
  if (length == 0) return;
  std::size_t lineCount = 0;
  splitLines(text.get(), length, [&lineCount](std::size_t, std::size_t) { ++lineCount; });
  lines_.reserve(lineCount);
  const char16_t* block = lines_.adoptBlock(std::move(text));
  splitLines(block, length, [this, block](std::size_t start, std::size_t end) {
    lines_.addView(std::u16string_view(block + start, end - start));
  });
}

StreamLoadResult WideStringList::appendFromStream(ByteStream& stream) {
  const std::uint64_t size = stream.size();
  if (size == 0 && stream.error() != 0) return {false, systemErrorText(stream.error())};
  const std::uint64_t position = stream.position();
  const std::uint64_t remaining = size > position ? size - position : 0;
  if (remaining % 2 != 0) return {false, std::u16string(kOddLengthMessage)};
  if (remaining == 0) return {};
  const std::size_t existing = joinedLength();
  if (remaining / 2 > std::numeric_limits<std::size_t>::max() / 2 - existing) {
    return {false, u"The stream is too large."};
  }
  const std::size_t added = static_cast<std::size_t>(remaining / 2);
  auto text = std::make_unique_for_overwrite<char16_t[]>(existing + added);
  writeJoined(text.get());
  const std::size_t got = stream.read(text.get() + existing, added * 2);
  if (got != added * 2) {
    return {false, u"The stream could not be read to its end."};
  }
  adoptText(std::move(text), existing + added);
  return {};
}

StreamLoadResult WideStringList::loadFromStream(ByteStream& stream) {
  clear();
  return appendFromStream(stream);
}

bool WideStringList::appendFromFile(std::u16string_view path) {
  ByteStream stream = ByteStream::openForReading(path);
  if (!stream.isOpen()) return false;
  return static_cast<bool>(appendFromStream(stream));
}

bool WideStringList::loadFromFile(std::u16string_view path) {
  clear();
  const bool loaded = appendFromFile(path);
  if (!loaded) clear();
  return loaded;
}

bool WideStringList::saveToStream(ByteStream& stream) const {
  const std::size_t length = joinedLength();
  if (length == 0) return true;
  auto text = std::make_unique_for_overwrite<char16_t[]>(length);
  writeJoined(text.get());
  return stream.write(text.get(), length * sizeof(char16_t));
}

bool WideStringList::saveToFile(std::u16string_view path) const {
  ByteStream stream = ByteStream::openForWriting(path);
  if (!stream.isOpen()) return false;
  const bool written = saveToStream(stream);
  return stream.close() && written;
}

std::int32_t WideStringList::indexOfName(std::u16string_view name) const {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::u16string_view line = lines_[i];
    if (line.size() > name.size() && line.starts_with(name) &&
        line[name.size()] == nameDelimiter_) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

std::u16string WideStringList::getValue(std::u16string_view name) const {
  const std::int32_t i = indexOfName(name);
  if (i < 0) return {};
  return std::u16string(view(i).substr(name.size() + 1));
}

void WideStringList::setValue(std::u16string_view name, std::u16string_view value) {
  std::u16string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name);
  line.push_back(nameDelimiter_);
  line.append(value);
  const std::int32_t i = indexOfName(name);
  if (i >= 0) {
    set(i, line);
  } else {
    add(line);
  }
}

}  // namespace sorvane
