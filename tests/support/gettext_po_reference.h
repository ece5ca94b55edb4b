#pragma once

#include "textio/translation_units.h"

#include <optional>
#include <string>
#include <vector>

namespace sorvane::test {

// A PO file read with GNU gettext's own library, as the reference the
// program's reader is held to: the same units (the header left out, an
// obsolete or fuzzy message for review, one without msgctxt unkeyed), or
// nothing when gettext refuses the file.
std::optional<std::vector<ReadUnit>> readPoWithGettext(const std::string& nativePath);

}  // namespace sorvane::test
