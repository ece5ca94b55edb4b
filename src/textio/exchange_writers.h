#pragma once

#include "textio/po_file.h"
#include "textio/translation_units.h"

#include <functional>
#include <string_view>

namespace sorvane {

// Takes each piece of a file as it is written.
using TextSink = std::function<void(std::string_view)>;

// The exchange files, written from the units straight to a sink, a piece
// of some kilobytes at a time, so that no file is held whole. A PO
// file: each unit a message whose msgctxt is its key (unitId), msgid the
// source (msgid_plural and msgstr[n] for a plural message, as many forms
// as the header's Plural-Forms say), msgstr the translation; section,
// subsection and comment as extracted comments; false when the header's
// plural rules are not well formed.
bool writePo(const ExchangeHeader& header, UnitSource& units, const TextSink& put);
// XLIFF 1.2: a trans-unit a message (a group of restype="x-gettext-plurals"
// with one trans-unit a form for a plural one), id its key, the Original's
// text as source, the Mod's as target ("needs-translation" when empty), the
// key's parts as a note.
void writeXliff(const ExchangeHeader& header, UnitSource& units, const TextSink& put);
// A Qt Linguist TS file that lrelease compiles to the Mod's messages:
// grouped by context (the subsection), the section as the source, the
// comment as Qt's disambiguation, the Mod's text as the translation
// (numerus forms for a plural message, "unfinished" when empty), the key in
// an extra-sorvane-key element and the Original's text, where it is not the
// source, as a comment for the translator.
void writeTs(const ExchangeHeader& header, UnitSource& units, const TextSink& put);

}  // namespace sorvane
