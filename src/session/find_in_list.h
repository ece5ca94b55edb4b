#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

class RowView;
class Session;

// Where find looks in a row: the texts the list shows in its searched
// columns (the original and the Mod text, or in "Mod update" the old
// original, the new original and the Mod text), and with inKeys the
// row's section, subsection and comment too.
struct FindScope {
  bool inKeys = false;
};

// Searches the rows shown from the position start to the last for findText
// anywhere in a searched text ("*" and "?" act as wildcards, case is
// ignored), then, after one call of wrapped, from the first position over
// the whole list. The first matching row, or nothing when the text is
// empty, no row is shown or nothing matches.
std::optional<std::int32_t> findFrom(const Session& session, const RowView& view,
                                     std::int32_t start, std::u16string_view findText,
                                     FindScope scope, const std::function<void()>& wrapped);

}  // namespace sorvane
