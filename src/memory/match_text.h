#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// A text as the memory compares it: accelerator marks removed ("&&" is an
// ampersand), Qt's place markers and rich-text tags each one fixed
// character, case folded. What the fixed characters stood for is kept
// apart, so that two texts that differ only there are told apart too.
struct MatchText {
  std::u16string text;
  std::vector<std::u16string> markers;
  std::vector<std::u16string> tags;
};

MatchText matchText(std::u16string_view text);

// The edit distance of two texts (insertions, deletions and replacements
// of UTF-16 units), or limit + 1 when it is more than limit.
std::int32_t editDistance(std::u16string_view a, std::u16string_view b, std::int32_t limit);

// How alike two texts are, 0 to 100: 100·(1 − distance / longer length)
// over their match texts, 3 points off when their place markers differ and
// 3 when their tags do. Only the same text scores 100; texts that differ
// only in case or accelerators score 99. Texts of more than 4,000 units
// that differ score 0, so that no comparison takes long. Scores below
// threshold may be given as 0, which saves the work of telling them
// exactly.
int similarity(std::u16string_view a, const MatchText& matchA, std::u16string_view b,
               const MatchText& matchB, int threshold = 0);
int similarity(std::u16string_view a, std::u16string_view b);

// Whether two texts of these match lengths can score at least threshold:
// whether a candidate is worth comparing at all.
bool lengthsAllow(std::size_t a, std::size_t b, int threshold);

}  // namespace sorvane
