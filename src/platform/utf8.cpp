#include "platform/utf8.h"

namespace sorvane {

namespace {

// The code point of a UTF-8 sequence at text[at], and its length; 0 for a
// byte that starts no valid sequence (overlong forms and surrogates count
// as invalid).
std::size_t decodeAt(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
    smallest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

}  // namespace

std::string toUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t codePoint = text[i];
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      codePoint = 0xFFFD;
    }
    appendUtf8(out, codePoint);
  }
  return out;
}

std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0xFFFD;
    const std::size_t length = decodeAt(text, at, codePoint);
    at += length == 0 ? 1 : length;
    if (length == 0) codePoint = 0xFFFD;
    if (codePoint >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(codePoint));
    }
  }
  return out;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeAt(bytes, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace sorvane
