#include "widetext/word_diff.h"

#include <algorithm>
#include <cstdint>

namespace sorvane {

namespace {

bool isBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\n'; }

bool isPunctuation(char16_t unit) {
  return unit < 0x80 && unit > u' ' && !(unit >= u'0' && unit <= u'9') &&
         !(unit >= u'a' && unit <= u'z') && !(unit >= u'A' && unit <= u'Z') && unit != u'_';
}

// Words, the runs of white space between them, and each punctuation mark
// on its own (so that "again." and "again later." share "again"), in order.
std::vector<std::u16string_view> tokens(std::u16string_view text) {
  std::vector<std::u16string_view> result;
  const auto kind = [](char16_t unit) { return isBlank(unit) ? 0 : isPunctuation(unit) ? 1 : 2; };
  std::size_t start = 0;
  for (std::size_t i = 1; i <= text.size(); ++i) {
    if (i == text.size() || kind(text[i]) != kind(text[i - 1]) || kind(text[i]) == 1) {
      result.push_back(text.substr(start, i - start));
      start = i;
    }
  }
  return result;
}

constexpr std::size_t kMostTokens = 600;

}  // namespace

std::vector<DiffPiece> wordDiff(std::u16string_view before, std::u16string_view after) {
  const std::vector<std::u16string_view> a = tokens(before);
  const std::vector<std::u16string_view> b = tokens(after);
  std::vector<DiffPiece> pieces;
  if (a.size() + b.size() > kMostTokens) {
    if (!before.empty()) pieces.push_back({DiffPiece::Kind::removed, before});
    if (!after.empty()) pieces.push_back({DiffPiece::Kind::added, after});
    return pieces;
  }
  // Myers: for each number of edits d, the furthest point reached on each
  // diagonal k; the trace of those steps leads back to the script.
  const auto n = static_cast<std::int64_t>(a.size());
  const auto m = static_cast<std::int64_t>(b.size());
  const std::int64_t offset = n + m + 1;
  std::vector<std::int64_t> v(static_cast<std::size_t>(2 * offset + 1), 0);
  std::vector<std::vector<std::int64_t>> trace;
  std::int64_t found = -1;
  for (std::int64_t d = 0; d <= n + m && found < 0; ++d) {
    trace.push_back(v);
    for (std::int64_t k = -d; k <= d; k += 2) {
      const auto at = [&](std::int64_t diagonal) -> std::int64_t& {
        return v[static_cast<std::size_t>(diagonal + offset)];
      };
      std::int64_t x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
      std::int64_t y = x - k;
      while (x < n && y < m && a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]) {
        ++x;
        ++y;
      }
      at(k) = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
  }
  // Back from the end, one edit at a time.
  std::vector<DiffPiece> reversed;
  std::int64_t x = n;
  std::int64_t y = m;
  for (std::int64_t d = found; d > 0; --d) {
    const std::vector<std::int64_t>& previous = trace[static_cast<std::size_t>(d)];
    const auto at = [&](std::int64_t diagonal) {
      return previous[static_cast<std::size_t>(diagonal + offset)];
    };
    const std::int64_t k = x - y;
    const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
    const std::int64_t previousK = down ? k + 1 : k - 1;
    const std::int64_t previousX = at(previousK);
    const std::int64_t previousY = previousX - previousK;
    while (x > previousX + (down ? 0 : 1) && y > previousY + (down ? 1 : 0)) {
      reversed.push_back({DiffPiece::Kind::same, a[static_cast<std::size_t>(--x)]});
      --y;
    }
    if (down) {
      reversed.push_back({DiffPiece::Kind::added, b[static_cast<std::size_t>(--y)]});
    } else {
      reversed.push_back({DiffPiece::Kind::removed, a[static_cast<std::size_t>(--x)]});
    }
  }
  while (x > 0 && y > 0) {
    reversed.push_back({DiffPiece::Kind::same, a[static_cast<std::size_t>(--x)]});
    --y;
  }
  // Neighbouring pieces of one kind make one.
  for (auto piece = reversed.rbegin(); piece != reversed.rend(); ++piece) {
    if (!pieces.empty() && pieces.back().kind == piece->kind &&
        pieces.back().text.data() + pieces.back().text.size() == piece->text.data()) {
      pieces.back().text = {pieces.back().text.data(),
                            pieces.back().text.size() + piece->text.size()};
    } else {
      pieces.push_back(*piece);
    }
  }
  return pieces;
}

std::u16string markedWordDiff(std::u16string_view before, std::u16string_view after) {
  std::u16string marked;
  for (const DiffPiece& piece : wordDiff(before, after)) {
    switch (piece.kind) {
      case DiffPiece::Kind::same:
        marked += piece.text;
        break;
      case DiffPiece::Kind::removed:
        marked += u"[-";
        marked += piece.text;
        marked += u"-]";
        break;
      case DiffPiece::Kind::added:
        marked += u"{+";
        marked += piece.text;
        marked += u"+}";
        break;
    }
  }
  return marked;
}

}  // namespace sorvane
