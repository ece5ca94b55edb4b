#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// How a pattern the user typed reads.
enum class PatternKind : std::uint8_t {
  plain,     // the text itself, anywhere
  wildcard,  // "*" any run, "?" one code unit, anywhere
  regex,     // an ICU regular expression, anywhere
};

// A compiled text pattern that finds itself anywhere in a text, with case
// ignored. Plain and wildcard patterns compare code unit by code unit; a
// regular expression is ICU's (on UTF-16), compiled once. A matcher is used
// by one thread at a time; copies share the compiled pattern and may run on
// other threads.
class TextMatcher {
 public:
  // Nothing, with the reason in error, when the pattern is an invalid
  // regular expression.
  static std::optional<TextMatcher> compile(std::u16string_view pattern, PatternKind kind,
                                            std::u16string* error = nullptr);
  TextMatcher(const TextMatcher& other);
  TextMatcher& operator=(const TextMatcher& other);
  TextMatcher(TextMatcher&&) noexcept;
  TextMatcher& operator=(TextMatcher&&) noexcept;
  ~TextMatcher();

  bool empty() const { return pattern_.empty(); }
  bool matches(std::u16string_view text) const;

 private:
  TextMatcher() = default;
  struct Regex;
  PatternKind kind_ = PatternKind::plain;
  std::u16string pattern_;  // lower-cased for plain and wildcard
  std::unique_ptr<Regex> regex_;
};

}  // namespace sorvane
