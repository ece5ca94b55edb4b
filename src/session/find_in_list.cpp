#include "session/find_in_list.h"

#include "platform/text_codec.h"
#include "session/row_view.h"
#include "session/session.h"
#include "widetext/wildcard_match.h"

#include <cstdint>

namespace sorvane {

namespace {

bool keyMatches(std::string_view key, std::u16string_view pattern) {
  return !key.empty() && wildcardMatchLowered(fromLocal8Bit(key), pattern);
}

bool rowMatchesLowered(const Session& session, std::int32_t row, std::u16string_view pattern,
                       FindScope scope) {
  if (session.mode() == SessionMode::modUpdate &&
      wildcardMatchLowered(session.rowOldOriginalText(row), pattern)) {
    return true;
  }
  if (wildcardMatchLowered(session.rowOriginalText(row), pattern) ||
      wildcardMatchLowered(session.rowModText(row), pattern)) {
    return true;
  }
  return scope.inKeys && (keyMatches(session.rowSectionText(row), pattern) ||
                          keyMatches(session.rowSubsectionText(row), pattern) ||
                          keyMatches(session.rowComment(row), pattern));
}

}  // namespace

std::optional<std::int32_t> findFrom(const Session& session, const RowView& view,
                                     std::int32_t start, std::u16string_view findText,
                                     FindScope scope, const std::function<void()>& wrapped) {
  const std::int32_t positions = view.size();
  if (positions == 0 || findText.empty()) return std::nullopt;
  const std::u16string pattern = lowerCased(containingPattern(findText));
  for (std::int32_t at = std::max(start, 0); at < positions; ++at) {
    const std::int32_t row = view.rowAt(at);
    if (rowMatchesLowered(session, row, pattern, scope)) return row;
  }
  wrapped();
  for (std::int32_t at = 0; at < positions; ++at) {
    const std::int32_t row = view.rowAt(at);
    if (rowMatchesLowered(session, row, pattern, scope)) return row;
  }
  return std::nullopt;
}

}  // namespace sorvane
