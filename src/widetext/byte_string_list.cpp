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

void ByteStringList::remove(std::int32_t i) {
  if (i >= 0 && static_cast<std::size_t>(i) < lines_.size()) {
    lines_.remove(static_cast<std::size_t>(i));
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
