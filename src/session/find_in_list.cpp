#include "session/find_in_list.h"

#include "session/session.h"
#include "widetext/wildcard_match.h"

#include <cstdint>

namespace sorvane {

namespace {

bool rowMatchesLowered(const Session& session, std::int32_t row, std::u16string_view pattern) {
  if (session.mode() == SessionMode::modUpdate &&
      wildcardMatchLowered(session.rowOldOriginalText(row), pattern)) {
    return true;
  }
  return wildcardMatchLowered(session.rowOriginalText(row), pattern) ||
         wildcardMatchLowered(session.rowModText(row), pattern);
}

}  // namespace

bool rowMatches(const Session& session, std::int32_t row, std::u16string_view pattern) {
  return rowMatchesLowered(session, row, lowerCased(pattern));
}

std::optional<std::int32_t> findFrom(const Session& session, std::int32_t start,
                                     std::u16string_view findText,
                                     const std::function<void()>& wrapped) {
  const std::int32_t rows = session.rowCount();
  if (rows == 0 || findText.empty()) return std::nullopt;
  const std::u16string pattern = lowerCased(containingPattern(findText));
  for (std::int32_t row = std::max(start, 0); row < rows; ++row) {
    if (rowMatchesLowered(session, row, pattern)) return row;
  }
  wrapped();
  for (std::int32_t row = 0; row < rows; ++row) {
    if (rowMatchesLowered(session, row, pattern)) return row;
  }
  return std::nullopt;
}

}  // namespace sorvane
