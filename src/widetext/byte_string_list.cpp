#include "widetext/byte_string_list.h"

namespace sorvane {

namespace {

std::string_view beforeFirstZero(std::string_view text) {
  const std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

}  // namespace

std::string_view ByteStringList::view(std::int32_t i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= lines_.size()) return {};
  return lines_[static_cast<std::size_t>(i)];
}

void ByteStringList::add(std::string_view text) { lines_.add(beforeFirstZero(text)); }

void ByteStringList::set(std::int32_t i, std::string_view text) {
  if (i >= 0) lines_.set(static_cast<std::size_t>(i), beforeFirstZero(text));
}

void ByteStringList::addReusing(std::string_view text) {
  if (text.empty()) {
    add(text);
    return;
  }
  // A few bytes and the length tell most texts apart, at little cost.
  const auto byteAt = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const std::size_t last = text.size() - 1;
  const std::size_t hash =
      text.size() * 37 + byteAt(0) * 11 + byteAt(last / 2) * 5 + byteAt(last) + byteAt(last / 4);
  std::int32_t& slot = recent_[hash & 0xFF];
  // The slot may name a line that was replaced or moved since: its text
  // decides.
  if (slot >= 0 && slot < count() && view(slot) == text) {
    addCopyOf(slot);
    return;
  }
  slot = count();
  add(text);
}

void ByteStringList::remove(std::int32_t i) {
  if (i >= 0 && static_cast<std::size_t>(i) < lines_.size()) {
    lines_.remove(static_cast<std::size_t>(i));
  }
}

void ByteStringList::insert(std::int32_t i, std::string_view text) {
  if (i >= 0 && static_cast<std::size_t>(i) <= lines_.size()) {
    lines_.insert(static_cast<std::size_t>(i), beforeFirstZero(text));
  }
}

void ByteStringList::reserve(std::int32_t count) {
  if (count > 0) lines_.reserve(static_cast<std::size_t>(count));
}

std::int32_t ByteStringList::indexOf(std::string_view text) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i] == text) return static_cast<std::int32_t>(i);
  }
  return -1;
}

}  // namespace sorvane
