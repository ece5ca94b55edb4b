#include "session/text_condition.h"

#include "session/icu_regex.h"
#include "widetext/wildcard_match.h"

#include <climits>

namespace sorvane {

struct TextMatcher::Regex {
  std::shared_ptr<const icu::RegexPattern> pattern;
  std::unique_ptr<icu::RegexMatcher> matcher;  // made on first use
};

std::optional<TextMatcher> TextMatcher::compile(std::u16string_view pattern, PatternKind kind,
                                                std::u16string* error) {
  TextMatcher matcher;
  matcher.kind_ = kind;
  if (kind != PatternKind::regex) {
    matcher.pattern_ = lowerCased(kind == PatternKind::wildcard ? containingPattern(pattern)
                                                                : std::u16string(pattern));
    return matcher;
  }
  matcher.pattern_ = pattern;
  if (pattern.empty()) return matcher;
  std::shared_ptr<const icu::RegexPattern> compiled =
      compileRegex(pattern, UREGEX_CASE_INSENSITIVE, error);
  if (!compiled) return std::nullopt;
  matcher.regex_ = std::make_unique<Regex>(Regex{std::move(compiled), nullptr});
  return matcher;
}

TextMatcher::TextMatcher(const TextMatcher& other) : kind_(other.kind_), pattern_(other.pattern_) {
  if (other.regex_) regex_ = std::make_unique<Regex>(Regex{other.regex_->pattern, nullptr});
}

TextMatcher& TextMatcher::operator=(const TextMatcher& other) {
  if (this != &other) *this = TextMatcher(other);
  return *this;
}

TextMatcher::TextMatcher(TextMatcher&&) noexcept = default;
TextMatcher& TextMatcher::operator=(TextMatcher&&) noexcept = default;
TextMatcher::~TextMatcher() = default;

bool TextMatcher::matches(std::u16string_view text) const {
  switch (kind_) {
    case PatternKind::plain:
      return containsLowered(text, pattern_);
    case PatternKind::wildcard:
      return wildcardMatchLowered(text, pattern_);
    case PatternKind::regex:
      break;
  }
  if (!regex_) return true;
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
  UErrorCode status = U_ZERO_ERROR;
  if (!regex_->matcher) {
    regex_->matcher.reset(regex_->pattern->matcher(status));
    if (U_FAILURE(status) || !regex_->matcher) return false;
  }
  // The matcher reads the text where it is, for the time of the find.
  const icu::UnicodeString input = aliasOf(text);
  regex_->matcher->reset(input);
  const bool found = regex_->matcher->find(0, status) != 0;
  return U_SUCCESS(status) && found;
}

}  // namespace sorvane
