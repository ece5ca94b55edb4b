#pragma once

#include "textio/po_file.h"
#include "textio/read_units.h"
#include "textio/translation_units.h"

#include <atomic>
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

// XLIFF or TS read back, in file order: any depth of elements, a text of
// at most 1 MB; error gets the fault and its line ("line 12: ...") when
// the file can't be parsed, or why it can't be read. A file in UTF-16 is
// read too.
std::optional<ReadUnits> readXliff(std::span<const std::uint8_t> bytes, std::string& error);
std::optional<ReadUnits> readTs(std::span<const std::uint8_t> bytes, std::string& error);

// A file read a piece at a time as it is parsed, so that reading it takes
// memory for a piece rather than for the whole file: its descriptor, its
// size in bytes, and the bytes of a piece. A file in UTF-8 with
// splitBytes or more left to read has the second half of what is left
// parsed on a thread of its own, where one can be had: from the start, or
// once splitWhenSet is set. The units and errors are those of one pass.
struct XmlFile {
  int fd = -1;
  std::size_t size = 0;
  std::size_t pieceBytes = std::size_t{1} << 19;
  std::size_t splitBytes = std::size_t{1} << 22;
  const std::atomic<bool>* splitWhenSet = nullptr;
  // Set to whether the file was read in two parts, when given.
  bool* readInParts = nullptr;
};
std::optional<ReadUnits> readXliff(const XmlFile& file, std::string& error);
std::optional<ReadUnits> readTs(const XmlFile& file, std::string& error);

}  // namespace sorvane
