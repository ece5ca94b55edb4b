#pragma once

#include <unicode/regex.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sorvane {

// Compiles an ICU regular expression with the flags (UREGEX_...). Nothing,
// with the reason in error ("The regular expression is not valid: missing
// close paren at character 7."), when it is not a valid one.
std::unique_ptr<icu::RegexPattern> compileRegex(std::u16string_view pattern, std::uint32_t flags,
                                                std::u16string* error);

// A UnicodeString that reads the text where it is, without copying; the text
// must outlive it.
inline icu::UnicodeString aliasOf(std::u16string_view text) {
  return {false, text.data(), static_cast<std::int32_t>(text.size())};
}

}  // namespace sorvane
