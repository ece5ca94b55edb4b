#include "widetext/wildcard_match.h"

#include "platform/case_mapping.h"

#include <emmintrin.h>

#include <array>
#include <cstdint>
#include <memory>

namespace sorvane {

namespace {

const std::array<UnitsLoweringTo, 0x10000>& unitsLoweringToTable() {
  static const auto table = [] {
    auto built = std::make_unique<std::array<UnitsLoweringTo, 0x10000>>();
    std::array<std::uint8_t, 0x10000> counts{};
    const char16_t* lower = lowerCaseTable();
    for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
      UnitsLoweringTo& entry = (*built)[lower[unit]];
      std::uint8_t& count = counts[lower[unit]];
      if (count < entry.units.size()) {
        entry.units[count] = static_cast<char16_t>(unit);
      } else {
        entry.complete = false;
      }
      ++count;
    }
    for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
      UnitsLoweringTo& entry = (*built)[unit];
      for (std::size_t i = counts[unit]; i < entry.units.size() && counts[unit] > 0; ++i) {
        entry.units[i] = entry.units[0];
      }
    }
    return built;
  }();
  return *table;
}

__m128i equalsAny(__m128i units, const UnitsLoweringTo& candidates) {
  const __m128i a = _mm_set1_epi16(static_cast<short>(candidates.units[0]));
  const __m128i b = _mm_set1_epi16(static_cast<short>(candidates.units[1]));
  const __m128i c = _mm_set1_epi16(static_cast<short>(candidates.units[2]));
  return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, a), _mm_cmpeq_epi16(units, b)),
                      _mm_cmpeq_epi16(units, c));
}

// The first position from at on where the text's units lower to first and
// (when second is not 0) the next one to second; text.size() when none.
// Eight positions are tested at a time.
std::size_t findLowering(std::u16string_view text, std::size_t at, char16_t first, char16_t second,
                         const char16_t* lower) {
  const UnitsLoweringTo& firstUnits = unitsLoweringToTable()[first];
  const UnitsLoweringTo& secondUnits = unitsLoweringToTable()[second];
  const bool pair = second != 0;
  if (firstUnits.complete && (!pair || secondUnits.complete)) {
    const std::size_t span = pair ? 9 : 8;
    for (; at + span <= text.size(); at += 8) {
      const auto* units = reinterpret_cast<const __m128i*>(text.data() + at);
      __m128i hits = equalsAny(_mm_loadu_si128(units), firstUnits);
      if (pair) {
        const auto* next = reinterpret_cast<const __m128i*>(text.data() + at + 1);
        hits = _mm_and_si128(hits, equalsAny(_mm_loadu_si128(next), secondUnits));
      }
      const int mask = _mm_movemask_epi8(hits);
      if (mask != 0) {
        return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
      }
    }
  }
  for (; at < text.size(); ++at) {
    if (lower[text[at]] != first) continue;
    if (!pair || (at + 1 < text.size() && lower[text[at + 1]] == second)) return at;
  }
  return text.size();
}

bool isLiteral(char16_t unit) { return unit != u'*' && unit != u'?'; }

bool matchLoweredImpl(std::u16string_view text, std::u16string_view pattern,
                      const char16_t* lower) {
  std::size_t t = 0;
  std::size_t p = 0;
  // Where to go on when the text after the last "*" didn't match: one
  // code unit further in the text.
  std::size_t starAt = std::u16string_view::npos;
  std::size_t resumeAt = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starAt = p++;
      resumeAt = t;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == lower[text[t]])) {
      ++p;
      ++t;
    } else if (starAt != std::u16string_view::npos) {
      p = starAt + 1;
      t = ++resumeAt;
      // After a "*" only a unit equal to the next pattern unit can start a
      // match: skip to it in one tight loop.
      if (p < pattern.size() && isLiteral(pattern[p])) {
        // Two literal units narrow the candidates much more than one. A
        // lower-cased pattern unit is never 0 unless the pattern holds
        // U+0000, which no searched text does.
        const char16_t second =
            p + 1 < pattern.size() && isLiteral(pattern[p + 1]) ? pattern[p + 1] : u'\0';
        t = findLowering(text, t, pattern[p], second, lower);
        resumeAt = t;
      }
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

const UnitsLoweringTo& unitsLoweringTo(char16_t lowered) { return unitsLoweringToTable()[lowered]; }

std::u16string containingPattern(std::u16string_view text) {
  std::u16string pattern;
  pattern.reserve(text.size() + 2);
  pattern.push_back(u'*');
  pattern.append(text);
  pattern.push_back(u'*');
  return pattern;
}

std::u16string lowerCased(std::u16string_view text) {
  const char16_t* lower = lowerCaseTable();
  std::u16string result(text);
  for (char16_t& unit : result) unit = lower[unit];
  return result;
}

bool wildcardMatchLowered(std::u16string_view text, std::u16string_view loweredPattern) {
  return matchLoweredImpl(text, loweredPattern, lowerCaseTable());
}

bool containsLowered(std::u16string_view text, std::u16string_view loweredNeedle) {
  if (loweredNeedle.empty()) return true;
  if (loweredNeedle.size() > text.size()) return false;
  const char16_t* lower = lowerCaseTable();
  const char16_t second = loweredNeedle.size() > 1 ? loweredNeedle[1] : u'\0';
  const std::size_t lastStart = text.size() - loweredNeedle.size();
  for (std::size_t at = 0; at <= lastStart; ++at) {
    at = findLowering(text, at, loweredNeedle[0], second, lower);
    if (at > lastStart) return false;
    std::size_t i = 2;
    while (i < loweredNeedle.size() && lower[text[at + i]] == loweredNeedle[i]) ++i;
    if (i >= loweredNeedle.size()) return true;
  }
  return false;
}

bool wildcardMatch(std::u16string_view text, std::u16string_view pattern) {
  return wildcardMatchLowered(text, lowerCased(pattern));
}

}  // namespace sorvane
