#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {

// Where the first U+0000 of a text is, or npos: eight units looked at
// once, as every text read from a file is looked through for one and the
// standard search goes a unit at a time.
inline std::size_t firstNulUnit(std::u16string_view text) {
  std::size_t at = 0;
#if defined(__SSE2__)
  constexpr std::size_t kLanes = 8;
  const __m128i zero = _mm_setzero_si128();
  for (; at + kLanes <= text.size(); at += kLanes) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    if (const int marks = _mm_movemask_epi8(_mm_cmpeq_epi16(units, zero)); marks != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(marks))) / 2;
    }
  }
#endif
  for (; at < text.size(); ++at) {
    if (text[at] == u'\0') return at;
  }
  return std::u16string_view::npos;
}

}  // namespace sorvane
