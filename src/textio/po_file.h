#pragma once

#include "textio/translation_units.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// The header of an exchange file: the Mod's name and language, and its
// plural rules (Qt's numerus rules block).
struct ExchangeHeader {
  std::string project;
  std::string language;
  // The Original's language ("" when it names none).
  std::string sourceLanguage;
  std::vector<std::uint8_t> pluralRules;
};

// The units as a gettext PO file (writePo); nothing when the header's plural
// rules are not well formed.
std::optional<std::vector<std::uint8_t>> poFileBytes(const ExchangeHeader& header,
                                                     std::span<const TranslationUnit> units);

}  // namespace sorvane
