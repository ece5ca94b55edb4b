#pragma once

#include "textio/po_file.h"
#include "textio/read_units.h"
#include "textio/translation_units.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sorvane {

// The units as XLIFF 1.2: a trans-unit a message (a group of
// restype="x-gettext-plurals" with one trans-unit a form for a plural
// one), id its key (unitId), the Original's text as source, the Mod's as
// target ("needs-translation" when empty), section, subsection and comment
// as a note.
std::vector<std::uint8_t> xliffFileBytes(const ExchangeHeader& header,
                                         std::span<const TranslationUnit> units);

// The units as a Qt Linguist TS file that lrelease compiles to the Mod's
// messages: grouped by context (the subsection), the section as the
// source, the comment as Qt's disambiguation, the Mod's text as the
// translation (numerus forms for a plural message, "unfinished" when
// empty), the key in an extra-sorvane-key element and the Original's text,
// where it is not the source, as a comment for the translator.
std::vector<std::uint8_t> tsFileBytes(const ExchangeHeader& header,
                                      std::span<const TranslationUnit> units);

// XLIFF or TS read back with pugixml, in file order, parsed in the buffer
// itself (which it changes): any depth of elements, a text of at most 1 MB;
// error gets the fault and its line ("line 12: ...") when the file can't
// be parsed. A file in UTF-16 is read too.
std::optional<ReadUnits> readXliff(std::span<std::uint8_t> bytes, std::string& error);
std::optional<ReadUnits> readTs(std::span<std::uint8_t> bytes, std::string& error);

}  // namespace sorvane
