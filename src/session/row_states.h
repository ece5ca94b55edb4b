#pragma once

#include "session/session.h"

#include <array>
#include <cstdint>
#include <optional>

namespace sorvane {

// How many rows of the session are in each state that has a colour: new,
// dropped, changed and Mod only, in RowState's order.
using RowStateCounts = std::array<std::int32_t, 4>;
RowStateCounts countRowStates(const Session& session);

// The nearest row after (or before, backward) the given one that is in the
// state, or in any coloured state when none is given; the search wraps
// around the list's ends. Nothing when no other row qualifies and the given
// one doesn't either.
std::optional<std::int32_t> nearestRowInState(const Session& session, std::int32_t from,
                                              std::optional<RowState> state, bool backward);

}  // namespace sorvane
