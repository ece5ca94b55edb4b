#include "platform/path_codec.h"

#include "platform/utf8.h"

#include <cstdint>

namespace sorvane {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at the start of bytes, and its code
// point; 0 when the first byte doesn't start one (overlong forms, encoded
// surrogates and values past U+10FFFF are not valid).
std::size_t decodeSequence(std::string_view bytes, char32_t& codePoint) {
  const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(at(i))) return 0;
    codePoint = (codePoint << 6) | (at(i) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

}  // namespace

std::u16string pathFromNative(std::string_view bytes) {
  std::u16string path;
  path.reserve(bytes.size());
  while (!bytes.empty()) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    if (lead < 0x80) {
      path.push_back(lead);
      bytes.remove_prefix(1);
      continue;
    }
    char32_t codePoint = 0;
    const std::size_t length = decodeSequence(bytes, codePoint);
    if (length == 0) {
      path.push_back(static_cast<char16_t>(kEscapeBase + lead));
      bytes.remove_prefix(1);
      continue;
    }
    if (codePoint >= 0x10000) {
      codePoint -= 0x10000;
      path.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
      path.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
      path.push_back(static_cast<char16_t>(codePoint));
    }
    bytes.remove_prefix(length);
  }
  return path;
}

std::string nativePath(std::u16string_view path) {
  std::string bytes;
  bytes.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char16_t unit = path[i];
    if (unit < 0xD800 || unit > 0xDFFF) {
      appendUtf8(bytes, unit);
    } else if (unit <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
               path[i + 1] <= 0xDFFF) {
      appendUtf8(bytes, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (path[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
      bytes.push_back(static_cast<char>(unit - kEscapeBase));
    } else {
      appendUtf8(bytes, 0xFFFD);
    }
  }
  return bytes;
}

}  // namespace sorvane
