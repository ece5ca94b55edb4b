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

// The units as a gettext PO file, written with GNU gettext's libgettextpo:
// each unit a message whose msgctxt is its key (unitId), msgid the source
// (msgid_plural and msgstr[n] for a plural message, as many forms as the
// header's Plural-Forms say), msgstr the translation; section, subsection
// and comment as extracted comments. Nothing when libgettextpo fails.
std::optional<std::vector<std::uint8_t>> poFileBytes(const ExchangeHeader& header,
                                                     std::span<const TranslationUnit> units);

}  // namespace sorvane
