#pragma once

#include "textio/read_units.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sorvane {

// The messages of a PO file, read as GNU gettext reads them, without its
// library: every message but the header, in file order, each with its
// line; fuzzy and obsolete ones are flagged for review, and one without a
// msgctxt has no key. A file in another charset than UTF-8 (as its header
// names it) is converted; a byte that is not text in it, or a fault of the
// PO grammar, is an error that names its line ("line 12: ...").
std::optional<ReadUnits> parsePo(std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace sorvane
