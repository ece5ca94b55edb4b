#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Whether a sequence of two bytes, the most common after ASCII (Latin
// letters with marks, Greek, Cyrillic), starts at text[at]: C2 to DF (C0
// and C1 would start overlong forms) and a continuation byte.
bool isTwoByteSequence(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return lead >= 0xC2 && lead <= 0xDF && at + 1 < text.size() &&
         (static_cast<unsigned char>(text[at + 1]) & 0xC0) == 0x80;
}

// How many of the bytes at text[at] on are ASCII, looked at up to a
// stretch of them at once: most texts are mostly ASCII. When to is given,
// they are widened into it, and so may be up to a stretch more units, for
// which to has room wherever it has a unit for each byte of text.
[[gnu::always_inline]] inline std::size_t asciiRun(std::string_view text, std::size_t at,
                                                   char16_t* to) {
#if defined(__SSE2__)
  constexpr std::size_t kStretch = 16;
  if (at + kStretch <= text.size()) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (to != nullptr && high != 0xFFFF) {
      const __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi8(bytes, zero));
    }
    return high == 0 ? kStretch : static_cast<std::size_t>(__builtin_ctz(high));
  }
#else
  constexpr std::size_t kStretch = 8;
  if (at + kStretch <= text.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, sizeof word);
    if ((word & 0x8080808080808080ULL) == 0) {
      if (to != nullptr) {
        for (std::size_t i = 0; i < kStretch; ++i) to[i] = static_cast<unsigned char>(text[at + i]);
      }
      return kStretch;
    }
  }
#endif
  std::size_t run = 0;
  while (run < kStretch && at + run < text.size() &&
         static_cast<unsigned char>(text[at + run]) < 0x80) {
    if (to != nullptr) to[run] = static_cast<unsigned char>(text[at + run]);
    ++run;
  }
  return run;
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
    if (const std::size_t ascii = asciiRun(text, at, to); ascii > 0) {
      to += ascii;
      at += ascii;
      continue;
    }
    if (isTwoByteSequence(text, at)) {
      *to++ = static_cast<char16_t>(((text[at] & 0x1F) << 6) | (text[at + 1] & 0x3F));
      at += 2;
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
    if (const std::size_t ascii = asciiRun(bytes, at, nullptr); ascii > 0) {
      at += ascii;
      continue;
    }
    if (isTwoByteSequence(bytes, at)) {
      at += 2;
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
