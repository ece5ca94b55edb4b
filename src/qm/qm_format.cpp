#include "qm/qm_format.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {

void swapUtf16Units(void* buffer, std::size_t byteCount) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  const std::size_t units = byteCount / 2;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Eight units at once.
  for (; i + 8 <= units; i += 8) {
    auto* at = reinterpret_cast<__m128i*>(bytes + 2 * i);
    const __m128i loaded = _mm_loadu_si128(at);
    _mm_storeu_si128(at, _mm_or_si128(_mm_slli_epi16(loaded, 8), _mm_srli_epi16(loaded, 8)));
  }
#endif
  for (; i < units; ++i) {
    std::uint16_t unit;
    std::memcpy(&unit, bytes + 2 * i, 2);
    unit = static_cast<std::uint16_t>((unit << 8) | (unit >> 8));
    std::memcpy(bytes + 2 * i, &unit, 2);
  }
  bytes[byteCount] = 0;
  bytes[byteCount + 1] = 0;
}

}  // namespace sorvane

namespace sorvane {

std::vector<std::u16string> dependencyNames(std::span<const std::uint8_t> block) {
  std::vector<std::u16string> names;
  std::size_t at = 0;
  while (block.size() - at >= 4) {
    const std::uint32_t length = readBigEndian32(block.data() + at);
    at += 4;
    if (length > block.size() - at) break;
    std::u16string name(length / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i) {
      name[i] = static_cast<char16_t>((block[at + 2 * i] << 8) | block[at + 2 * i + 1]);
    }
    names.push_back(std::move(name));
    at += length;
  }
  return names;
}

}  // namespace sorvane
