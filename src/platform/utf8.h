#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// Appends the UTF-8 form of a code point (at most U+10FFFF).
inline void appendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
// The same UTF-8 written at to, which has room for three bytes a unit; the
// bytes written.
std::size_t encodeUtf8Into(char* to, std::u16string_view text);
// UTF-8 as UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view text);
// The same into out, which has room for text.size() units; returns how
// many it wrote.
std::size_t decodeUtf8Into(char16_t* out, std::string_view text);
// Whether the bytes are valid UTF-8.
bool isValidUtf8(std::string_view bytes);

}  // namespace sorvane
