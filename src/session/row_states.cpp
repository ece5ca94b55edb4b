#include "session/row_states.h"

namespace sorvane {

RowStateCounts countRowStates(const Session& session) {
  RowStateCounts counts{};
  if (session.mode() != SessionMode::modUpdate) return counts;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    const RowState state = session.rowState(row);
    if (state != RowState::unchanged) ++counts[static_cast<std::size_t>(state)];
  }
  return counts;
}

std::optional<std::int32_t> nearestRowInState(const Session& session, std::int32_t from,
                                              std::optional<RowState> state, bool backward) {
  const std::int32_t rows = session.rowCount();
  if (rows == 0) return std::nullopt;
  const auto wanted = [&](std::int32_t row) {
    const RowState rowState = session.rowState(row);
    return state ? rowState == *state : rowState != RowState::unchanged;
  };
  // From before the first row (or after the last) every row is a candidate.
  std::int32_t row = from < 0 || from >= rows ? (backward ? 0 : rows - 1) : from;
  for (std::int32_t step = 0; step < rows; ++step) {
    row = backward ? (row + rows - 1) % rows : (row + 1) % rows;
    if (wanted(row)) return row;
  }
  return std::nullopt;
}

}  // namespace sorvane
