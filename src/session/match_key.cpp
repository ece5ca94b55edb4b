#include "session/match_key.h"

#include <algorithm>

namespace sorvane {

namespace {

unsigned char foldAsciiLetter(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 'A' && value <= 'Z' ? static_cast<unsigned char>(value + ('a' - 'A')) : value;
}

// The section and subsection texts as one text, read piece by piece.
class JoinedText {
 public:
  explicit JoinedText(const KeyParts& key) : first_(key.section), second_(key.subsection) {}
  std::size_t size() const { return first_.size() + second_.size(); }
  // The longest run from position at that lies in one piece.
  std::string_view runFrom(std::size_t at) const {
    return at < first_.size() ? first_.substr(at) : second_.substr(at - first_.size());
  }

 private:
  std::string_view first_;
  std::string_view second_;
};

// Compares the joined texts: negative, zero or positive. Equal runs are
// compared in whole, so the usual key costs a memcmp or two.
template <typename Fold>
int compareJoined(const KeyParts& left, const KeyParts& right, Fold fold) {
  const JoinedText a(left);
  const JoinedText b(right);
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t at = 0;
  while (at < common) {
    const std::string_view runA = a.runFrom(at);
    const std::string_view runB = b.runFrom(at);
    const std::size_t length = std::min({runA.size(), runB.size(), common - at});
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char x = fold(runA[i]);
      const unsigned char y = fold(runB[i]);
      if (x != y) return x < y ? -1 : 1;
    }
    at += length;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

std::string matchKey(std::uint32_t hash, std::string_view section, std::string_view subsection) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string key(8 + section.size() + subsection.size(), '\0');
  for (int i = 7; i >= 0; --i) {
    key[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
    hash >>= 4;
  }
  std::copy(section.begin(), section.end(), key.begin() + 8);
  std::copy(subsection.begin(), subsection.end(),
            key.begin() + 8 + static_cast<std::ptrdiff_t>(section.size()));
  return key;
}

bool caseFoldedKeyLess(std::string_view left, std::string_view right) {
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char a = foldAsciiLetter(left[i]);
    const unsigned char b = foldAsciiLetter(right[i]);
    if (a != b) return a < b;
  }
  return left.size() < right.size();
}

bool operator==(const KeyParts& left, const KeyParts& right) {
  if (left.hash != right.hash) return false;
  if (left.section.size() + left.subsection.size() !=
      right.section.size() + right.subsection.size()) {
    return false;
  }
  if (left.section.size() == right.section.size()) {
    return left.section == right.section && left.subsection == right.subsection;
  }
  return compareJoined(left, right, [](char byte) { return static_cast<unsigned char>(byte); }) ==
         0;
}

bool caseFoldedKeyLess(const KeyParts& left, const KeyParts& right) {
  // The eight digits sort as the number does: digits before the letters
  // A to F, which fold to a to f.
  if (left.hash != right.hash) return left.hash < right.hash;
  return compareJoined(left, right, foldAsciiLetter) < 0;
}

std::uint64_t tableHash(const KeyParts& key) {
  // The joined texts are taken eight bytes at a time, counted from the
  // start of the joined text whichever piece they lie in, so that equal
  // keys split differently hash alike.
  std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ key.hash;
  const auto mix = [&hash](std::uint64_t word) {
    hash = (hash ^ word) * 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 31;
  };
  std::uint64_t word = 0;
  unsigned filled = 0;
  for (const std::string_view piece : {key.section, key.subsection}) {
    const char* at = piece.data();
    std::size_t left = piece.size();
    while (filled != 0 && left != 0) {
      word |= std::uint64_t{static_cast<unsigned char>(*at++)} << (8 * filled);
      --left;
      if (++filled == 8) {
        mix(word);
        word = 0;
        filled = 0;
      }
    }
    for (; left >= 8; at += 8, left -= 8) {
      std::uint64_t whole = 0;
      for (unsigned i = 0; i < 8; ++i) {
        whole |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
      }
      mix(whole);
    }
    for (; left != 0; --left) {
      word |= std::uint64_t{static_cast<unsigned char>(*at++)} << (8 * filled++);
    }
  }
  mix(word ^ (std::uint64_t{key.section.size() + key.subsection.size()} << 40));
  hash ^= hash >> 29;
  hash *= 0x94d049bb133111ebULL;
  return hash ^ (hash >> 32);
}

}  // namespace sorvane
