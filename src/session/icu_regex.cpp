#include "session/icu_regex.h"

#include "platform/message_format.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace sorvane {

namespace {

// "U_REGEX_MISSING_CLOSE_BRACKET" as "missing close bracket".
std::u16string readableErrorName(UErrorCode status) {
  std::string name = u_errorName(status);
  for (const std::string_view prefix : {"U_REGEX_", "U_"}) {
    if (name.starts_with(prefix)) {
      name.erase(0, prefix.size());
      break;
    }
  }
  std::u16string readable;
  for (const char c : name) {
    readable.push_back(c == '_' ? u' ' : static_cast<char16_t>(std::tolower(c)));
  }
  return readable;
}

}  // namespace

std::unique_ptr<icu::RegexPattern> compileRegex(std::u16string_view pattern, std::uint32_t flags,
                                                std::u16string* error) {
  UParseError where{};
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexPattern> compiled;
  if (pattern.size() <= static_cast<std::size_t>(INT32_MAX)) {
    compiled.reset(icu::RegexPattern::compile(aliasOf(pattern), flags, where, status));
  } else {
    status = U_INDEX_OUTOFBOUNDS_ERROR;
  }
  if (U_SUCCESS(status) && compiled) return compiled;
  if (error) {
    *error = formatMessage(u"The regular expression is not valid: %s at character %d.",
                           {readableErrorName(status), std::max(where.offset, 0) + 1});
  }
  return nullptr;
}

}  // namespace sorvane
