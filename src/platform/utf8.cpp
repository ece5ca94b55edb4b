#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

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

// Whether the eight bytes at bytes are all ASCII.
bool isAsciiWord(const char* bytes) {
  std::uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return (word & 0x8080808080808080ULL) == 0;
}

}  // namespace

std::size_t encodeUtf8Into(char* to, std::u16string_view text) {
  char* const start = to;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code < 0x80) {
      *to++ = static_cast<char>(code);
      continue;
    }
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x800) {
      *to++ = static_cast<char>(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
      *to++ = static_cast<char>(0xE0 | (code >> 12));
      *to++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    } else {
      *to++ = static_cast<char>(0xF0 | (code >> 18));
      *to++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      *to++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    *to++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return static_cast<std::size_t>(to - start);
}

std::string toUtf8(std::u16string_view text) {
  // At most three bytes a unit (a pair of surrogates makes four of two).
  std::string out(3 * text.size(), '\0');
  out.resize(encodeUtf8Into(out.data(), text));
  return out;
}

std::u16string fromUtf8(std::string_view text) {
  // Never more units than bytes.
  std::u16string out(text.size(), u'\0');
  out.resize(decodeUtf8Into(out.data(), text));
  return out;
}

std::size_t decodeUtf8Into(char16_t* out, std::string_view text) {
  char16_t* to = out;
  for (std::size_t at = 0; at < text.size();) {
    // Most texts are mostly ASCII: eight such bytes are widened at once.
    if (at + 8 <= text.size() && isAsciiWord(text.data() + at)) {
      for (std::size_t i = 0; i < 8; ++i) to[i] = static_cast<unsigned char>(text[at + i]);
      to += 8;
      at += 8;
      continue;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      *to++ = lead;
      ++at;
      continue;
    }
    char32_t codePoint = 0xFFFD;
    const std::size_t length = decodeAt(text, at, codePoint);
    at += length == 0 ? 1 : length;
    if (length == 0) codePoint = 0xFFFD;
    if (codePoint >= 0x10000) {
      *to++ = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      *to++ = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      *to++ = static_cast<char16_t>(codePoint);
    }
  }
  return static_cast<std::size_t>(to - out);
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    if (at + 8 <= bytes.size() && isAsciiWord(bytes.data() + at)) {
      at += 8;
      continue;
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    char32_t codePoint = 0;
    const std::size_t length = decodeAt(bytes, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace sorvane
