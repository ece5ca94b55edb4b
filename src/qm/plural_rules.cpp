#include "qm/plural_rules.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace sorvane {

namespace {

using namespace std::string_view_literals;

// The bytes of Qt's rules: an operator, its operand (two for "between"),
// joined by "and" and "or"; rules apart by "new rule". The operator's low
// bits say the comparison, the higher ones what is compared: n, n mod 10,
// n mod 100, or n's leading group of three digits; and whether the result
// is negated.
constexpr std::uint8_t kEqual = 0x01;
constexpr std::uint8_t kLess = 0x02;
constexpr std::uint8_t kLessOrEqual = 0x03;
constexpr std::uint8_t kBetween = 0x04;
constexpr std::uint8_t kOperatorMask = 0x07;
constexpr std::uint8_t kNot = 0x08;
constexpr std::uint8_t kMod10 = 0x10;
constexpr std::uint8_t kMod100 = 0x20;
constexpr std::uint8_t kLead1000 = 0x40;
constexpr std::uint8_t kAnd = 0xFD;
constexpr std::uint8_t kOr = 0xFE;
constexpr std::uint8_t kNewRule = 0xFF;

struct RuleSet {
  std::string_view rules;      // the bytes
  std::string_view languages;  // codes apart by spaces
};

// The rule sets Qt's lrelease writes, by language. Languages not listed
// here have one form.
constexpr std::array<RuleSet, 16> kRuleSets = {{
    {"\x01\x01"sv,
     "aa ab af am as ay az ba bg bn ca co da de el en eo es et eu fi fo fur fy gl gu ha he hi ia "
     "ie it ka kk kl km kn ks ku kw ky la lb ln lo mg ml mn mr nb ne nl nn nso oc or pa ps qu rm "
     "rn rw sd si sn so sq ss st sv sw ta te tg tk tn to ts ug ur uz vo wo xh yi zu"},
    {"\x03\x01"sv, "br fil fr hy pt ti wa"},
    {"\x01\x01\xFF\x01\x02"sv, "dv ga gv ik iu mi sa se sm"},
    {"\x11\x01\xFD\x29\x0B"sv, "is"},
    {"\x11\x01\xFF\x11\x02"sv, "mk"},
    {"\x01\x01\xFF\x04\x02\x04"sv, "cs sk"},
    {"\x11\x01\xFD\x29\x0B\xFF\x09\x00"sv, "lv"},
    {"\x01\x01\xFF\x01\x00\xFE\x24\x01\x13"sv, "ro"},
    {"\x21\x01\xFF\x21\x02\xFF\x24\x03\x04"sv, "sl"},
    {"\x01\x01\xFF\x14\x02\x04\xFD\x2C\x0A\x13"sv, "pl"},
    {"\x01\x00\xFF\x01\x01\xFF\x04\x02\x05\xFF\x01\x06"sv, "cy"},
    {"\x11\x01\xFD\x29\x0B\xFF\x19\x00\xFD\x2C\x0A\x13"sv, "lt"},
    {"\x01\x01\xFF\x01\x00\xFE\x24\x01\x0A\xFF\x24\x0B\x13"sv, "mt"},
    {"\x11\x01\xFD\x29\x0B\xFF\x14\x02\x04\xFD\x2C\x0A\x13"sv, "be bs hr ru sr uk"},
    {"\x01\x00\xFF\x01\x01\xFF\x01\x02\xFF\x24\x03\x0A\xFF\x2A\x0B"sv, "ar"},
    {"\x01\x01\xFE\x01\x0B\xFF\x01\x02\xFE\x01\x0C\xFF\x04\x03\x13"sv, "gd"},
}};

// Older codes that name the same languages.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kAliases = {{
    {"no", "nb"},
    {"iw", "he"},
    {"ji", "yi"},
    {"tl", "fil"},
    {"sh", "sr"},
    {"mo", "ro"},
    {"in", "id"},
}};

// French rules for Portuguese as spoken in Brazil, which a code without a
// territory means; English ones everywhere else.
constexpr std::string_view kEnglishRules = "\x01\x01"sv;

bool isLetters(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
  });
}

bool isAlphanumeric(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
  });
}

bool listed(std::string_view languages, std::string_view language) {
  for (std::size_t at = 0; at < languages.size();) {
    const std::size_t end = std::min(languages.find(' ', at), languages.size());
    if (languages.substr(at, end - at) == language) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

std::optional<PluralLanguage> pluralLanguage(std::string_view code) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0; at <= code.size();) {
    const std::size_t end = std::min(code.find('_', at), code.size());
    parts.push_back(code.substr(at, end - at));
    at = end + 1;
  }
  if (parts.empty() || !isLetters(parts[0]) || parts[0].size() < 2 || parts[0].size() > 3) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (!isAlphanumeric(parts[i])) return std::nullopt;
  }
  std::string language(parts[0]);
  for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& [alias, name] : kAliases) {
    if (language == alias) language = name;
  }
  // A territory is the last part after the language when it is two
  // letters or three digits (a script has four letters).
  std::string territory;
  if (parts.size() > 1 && (parts.back().size() == 2 || parts.back().size() == 3)) {
    territory = parts.back();
    for (char& c : territory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }

  PluralLanguage result{std::string(code), {}, 1};
  if (language == "pt" && !territory.empty() && territory != "BR") {
    result.rules.assign(kEnglishRules.begin(), kEnglishRules.end());
  } else {
    for (const RuleSet& set : kRuleSets) {
      if (listed(set.languages, language)) result.rules.assign(set.rules.begin(), set.rules.end());
    }
  }
  result.forms = pluralFormCount(result.rules);
  return result;
}

int pluralFormCount(std::span<const std::uint8_t> rules) {
  // Each rule picks a form; the last form is for the counts no rule takes.
  int forms = rules.empty() ? 1 : 2;
  for (std::size_t i = 0; i < rules.size();) {
    const std::uint8_t byte = rules[i];
    if (byte == kNewRule) {
      ++forms;
      ++i;
    } else if (byte == kAnd || byte == kOr) {
      ++i;
    } else {
      i += (byte & kOperatorMask) == kBetween ? 3 : 2;
    }
  }
  return forms;
}

std::optional<std::string> gettextPluralForms(std::span<const std::uint8_t> rules) {
  const int forms = pluralFormCount(rules);
  if (rules.empty()) return "nplurals=1; plural=0;";
  // Each rule a condition: ors of ands of comparisons.
  std::vector<std::string> conditions(1);
  std::string any;
  std::string all;
  for (std::size_t i = 0; i < rules.size();) {
    if (i + 1 >= rules.size()) return std::nullopt;
    const std::uint8_t opcode = rules[i++];
    const std::uint8_t right = rules[i++];
    std::string left = "n";
    if ((opcode & kMod10) != 0) {
      left = "n%10";
    } else if ((opcode & kMod100) != 0) {
      left = "n%100";
    } else if ((opcode & kLead1000) != 0) {
      // The leading group of digits: exact for every 32-bit count.
      left = "(n>=1000000000?n/1000000000:n>=1000000?n/1000000:n>=1000?n/1000:n)";
    }
    const std::string value = std::to_string(right);
    std::string test = left;
    switch (opcode & kOperatorMask) {
      case kEqual:
        test.append("==").append(value);
        break;
      case kLess:
        test.append("<").append(value);
        break;
      case kLessOrEqual:
        test.append("<=").append(value);
        break;
      case kBetween:
        if (i >= rules.size()) return std::nullopt;
        test.append(">=").append(value).append("&&").append(left).append("<=").append(
            std::to_string(rules[i++]));
        break;
      default:
        return std::nullopt;
    }
    if ((opcode & kNot) != 0) test.insert(0, "!(").append(")");
    all.append(all.empty() ? "(" : "&&(").append(test).append(")");
    const std::uint8_t joint = i < rules.size() ? rules[i] : kNewRule;
    if (joint == kAnd) {
      ++i;
      continue;
    }
    any.append(any.empty() ? "(" : "||(").append(all).append(")");
    all.clear();
    if (joint == kOr) {
      ++i;
      continue;
    }
    conditions.back() = any;
    any.clear();
    if (i < rules.size()) {
      if (rules[i++] != kNewRule) return std::nullopt;
      conditions.emplace_back();
    }
  }
  std::string plural;
  for (std::size_t form = 0; form < conditions.size(); ++form) {
    plural += conditions[form] + "?" + std::to_string(form) + ":";
  }
  plural += std::to_string(conditions.size());
  return "nplurals=" + std::to_string(forms) + "; plural=(" + plural + ");";
}

int pluralFormFor(std::span<const std::uint8_t> rules, int n) {
  if (rules.empty()) return 0;
  int form = 0;
  std::size_t i = 0;
  const auto next = [&](std::uint8_t& byte) {
    if (i >= rules.size()) return false;
    byte = rules[i++];
    return true;
  };
  for (;;) {
    bool anyTrue = false;
    for (;;) {
      bool allTrue = true;
      for (;;) {
        std::uint8_t opcode = 0;
        std::uint8_t right = 0;
        if (!next(opcode) || !next(right)) return -1;
        int left = n;
        if ((opcode & kMod10) != 0) {
          left %= 10;
        } else if ((opcode & kMod100) != 0) {
          left %= 100;
        } else if ((opcode & kLead1000) != 0) {
          while (left >= 1000) left /= 1000;
        }
        bool truth = false;
        switch (opcode & kOperatorMask) {
          case kEqual:
            truth = left == right;
            break;
          case kLess:
            truth = left < right;
            break;
          case kLessOrEqual:
            truth = left <= right;
            break;
          case kBetween: {
            std::uint8_t top = 0;
            if (!next(top)) return -1;
            truth = left >= right && left <= top;
            break;
          }
          default:
            return -1;
        }
        if ((opcode & kNot) != 0) truth = !truth;
        allTrue = allTrue && truth;
        if (i == rules.size() || rules[i] != kAnd) break;
        ++i;
      }
      anyTrue = anyTrue || allTrue;
      if (i == rules.size() || rules[i] != kOr) break;
      ++i;
    }
    if (anyTrue) return form;
    ++form;
    if (i == rules.size()) return form;
    if (rules[i++] != kNewRule) return -1;
  }
}

std::vector<std::string> languagesWithPluralRules() {
  std::vector<std::string> codes;
  for (const RuleSet& set : kRuleSets) {
    for (std::size_t at = 0; at < set.languages.size();) {
      const std::size_t end = std::min(set.languages.find(' ', at), set.languages.size());
      codes.emplace_back(set.languages.substr(at, end - at));
      at = end + 1;
    }
  }
  std::sort(codes.begin(), codes.end());
  return codes;
}

std::u16string countsShowingForm(std::span<const std::uint8_t> rules, int form) {
  // The first ranges of counts up to a limit; a range that reaches it goes on.
  constexpr int kLimit = 1000;
  constexpr std::size_t kRangesShown = 3;
  std::vector<std::pair<int, int>> ranges;
  for (int n = 0; n <= kLimit; ++n) {
    if (pluralFormFor(rules, n) != form) continue;
    if (!ranges.empty() && ranges.back().second == n - 1) {
      ranges.back().second = n;
    } else {
      ranges.emplace_back(n, n);
    }
  }
  const auto number = [](int n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
  };
  std::u16string text;
  for (std::size_t i = 0; i < ranges.size() && i < kRangesShown; ++i) {
    const auto [from, to] = ranges[i];
    if (!text.empty()) text += u", ";
    text += number(from);
    if (to == kLimit) return text + u" and more";
    if (to > from) text += (to == from + 1 ? u", " : u"\u2013") + number(to);
  }
  if (ranges.size() > kRangesShown) text += u", \u2026";
  return text;
}

}  // namespace sorvane
