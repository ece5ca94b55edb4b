#include "memory/match_text.h"

#include "platform/case_mapping.h"

#include <algorithm>

namespace sorvane {

namespace {

constexpr char16_t kMarker = u'\uE000';
constexpr char16_t kTag = u'\uE001';

bool isAsciiLetter(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}
bool isDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

// The length of Qt's place marker at i ("%1", "%L12", "%n", "%Ln"), or 0.
std::size_t markerLength(std::u16string_view text, std::size_t i) {
  std::size_t at = i + 1;
  if (at < text.size() && text[at] == u'L') ++at;
  if (at < text.size() && text[at] == u'n') return at + 1 - i;
  std::size_t end = at;
  while (end < text.size() && end - at < 2 && isDigit(text[end])) ++end;
  if (end == at || (end - at == 1 && text[at] == u'0')) return 0;
  return end - i;
}

// The length of a tag at i ("<b>", "</a>", "<br/>", "<a href=...>"), or 0.
std::size_t tagLength(std::u16string_view text, std::size_t i) {
  std::size_t at = i + 1;
  if (at < text.size() && text[at] == u'/') ++at;
  if (at >= text.size() || !isAsciiLetter(text[at])) return 0;
  const std::size_t close = text.find(u'>', at);
  if (close == std::u16string_view::npos || close - i > 512) return 0;
  if (text.substr(i + 1, close - i - 1).find(u'<') != std::u16string_view::npos) return 0;
  return close + 1 - i;
}

// The length of an entity at i ("&amp;", "&#38;"), or 0.
std::size_t entityLength(std::u16string_view text, std::size_t i) {
  std::size_t end = i + 1;
  if (end < text.size() && text[end] == u'#') ++end;
  const std::size_t start = end;
  while (end < text.size() && end - start < 10 && (isAsciiLetter(text[end]) || isDigit(text[end])))
    ++end;
  if (end == start || end >= text.size() || text[end] != u';') return 0;
  return end + 1 - i;
}

}  // namespace

MatchText matchText(std::u16string_view text) {
  MatchText match;
  match.text.reserve(text.size());
  const char16_t* lower = lowerCaseTable();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        match.text.push_back(u'&');
        ++i;
      } else if (const std::size_t entity = entityLength(text, i); entity > 0) {
        for (std::size_t k = 0; k < entity; ++k) match.text.push_back(lower[text[i + k]]);
        i += entity - 1;
      } else if (i + 1 == text.size() || text[i + 1] == u' ' || text[i + 1] == u'\t' ||
                 text[i + 1] == u'\n') {
        match.text.push_back(u'&');  // an ampersand before white space marks nothing
      }
      continue;  // an accelerator mark
    }
    if (unit == u'%') {
      if (const std::size_t length = markerLength(text, i); length > 0) {
        match.markers.emplace_back(text.substr(i, length));
        match.text.push_back(kMarker);
        i += length - 1;
        continue;
      }
    }
    if (unit == u'<') {
      if (const std::size_t length = tagLength(text, i); length > 0) {
        match.tags.emplace_back(text.substr(i, length));
        match.text.push_back(kTag);
        i += length - 1;
        continue;
      }
    }
    match.text.push_back(lower[unit]);
  }
  return match;
}

// Ukkonen's band: only cells within limit of the diagonal can stay within
// limit, so each row is computed over at most 2·limit + 1 cells.
std::int32_t editDistance(std::u16string_view a, std::u16string_view b, std::int32_t limit) {
  if (a.size() > b.size()) std::swap(a, b);
  const auto n = static_cast<std::int32_t>(a.size());
  const auto m = static_cast<std::int32_t>(b.size());
  if (m - n > limit) return limit + 1;
  if (n == 0) return m;
  const std::int32_t over = limit + 1;
  std::vector<std::int32_t> previous(static_cast<std::size_t>(n) + 1);
  std::vector<std::int32_t> current(static_cast<std::size_t>(n) + 1);
  for (std::int32_t i = 0; i <= n; ++i) previous[static_cast<std::size_t>(i)] = std::min(i, over);
  for (std::int32_t j = 1; j <= m; ++j) {
    const std::int32_t from = std::max(1, j - limit);
    const std::int32_t to = std::min(n, j + limit);
    current[0] = std::min(j, over);
    if (from > 1) current[static_cast<std::size_t>(from) - 1] = over;
    std::int32_t best = current[0];
    for (std::int32_t i = from; i <= to; ++i) {
      const auto at = static_cast<std::size_t>(i);
      const std::int32_t replace =
          previous[at - 1] + (a[at - 1] == b[static_cast<std::size_t>(j) - 1] ? 0 : 1);
      const std::int32_t cell = std::min({replace, previous[at] + 1, current[at - 1] + 1, over});
      current[at] = cell;
      best = std::min(best, cell);
    }
    if (to < n) current[static_cast<std::size_t>(to) + 1] = over;
    if (best > limit) return over;
    std::swap(previous, current);
  }
  return std::min(previous[static_cast<std::size_t>(n)], over);
}

bool lengthsAllow(std::size_t a, std::size_t b, int threshold) {
  const std::size_t longer = std::max(a, b);
  const std::size_t difference = longer - std::min(a, b);
  return difference * 100 <= longer * static_cast<std::size_t>(100 - std::clamp(threshold, 0, 100));
}

int similarity(std::u16string_view a, const MatchText& matchA, std::u16string_view b,
               const MatchText& matchB, int threshold) {
  if (a == b) return 100;
  const std::size_t longer = std::max(matchA.text.size(), matchB.text.size());
  // Beyond a few pages the edit distance would cost seconds: such texts
  // are alike only when their match texts are the same.
  constexpr std::size_t kLongest = 4000;
  if (longer > kLongest && matchA.text != matchB.text) return 0;
  int score = 99;
  if (longer > 0 && matchA.text != matchB.text) {
    if (!lengthsAllow(matchA.text.size(), matchB.text.size(), threshold)) return 0;
    const auto limit = static_cast<std::int32_t>(
        longer * static_cast<std::size_t>(100 - std::clamp(threshold, 0, 100)) / 100 + 1);
    const std::int32_t distance = editDistance(matchA.text, matchB.text, limit);
    if (distance > limit) return 0;
    score = std::min(
        99, static_cast<int>((100 * (longer - static_cast<std::size_t>(distance))) / longer));
  }
  if (matchA.markers != matchB.markers) score -= 3;
  if (matchA.tags != matchB.tags) score -= 3;
  return std::max(score, 0);
}

int similarity(std::u16string_view a, std::u16string_view b) {
  return similarity(a, matchText(a), b, matchText(b));
}

}  // namespace sorvane
