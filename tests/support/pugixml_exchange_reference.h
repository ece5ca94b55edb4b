#pragma once

#include "textio/translation_units.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::test {

// XLIFF and TS files read through pugixml's document tree, as the
// reference the program's streaming readers are held to: the same units,
// or nothing (with the fault in error) when pugixml refuses the file.
std::optional<std::vector<ReadUnit>> readXliffWithPugixml(std::vector<std::uint8_t> bytes,
                                                          std::string& error);
std::optional<std::vector<ReadUnit>> readTsWithPugixml(std::vector<std::uint8_t> bytes,
                                                       std::string& error);

}  // namespace sorvane::test
