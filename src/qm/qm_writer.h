#pragma once

#include "platform/large_allocation.h"
#include "platform/safe_file_writer.h"
#include "qm/qm_document.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sorvane {

// Qt's blocks to write around the index, messages and context blocks; an
// empty one is left out.
struct QmQtBlocks {
  std::span<const std::uint8_t> language;
  std::span<const std::uint8_t> dependencies;
  std::span<const std::uint8_t> numerusRules;
};

// The blocks a document was read with.
QmQtBlocks qtBlocksOf(const QmDocument& document);

// The bytes of a QM file holding the document's entries in the given order
// (indices into its lists) and, when it is not empty, the context table as
// context block; Qt's language and dependencies blocks go first and its
// numerus rules last, where Qt puts them. Every plural form of an entry is a
// translation item of its own, a "no translation" form with an empty text
// is written as Qt writes it (length 0xFFFFFFFF), and a comment comes before
// the section text. Records keep the shape the document was read in (Qt's,
// or the plain one with the hash after 0x05), and each record names its
// message with the items it was read with: a source text stays a source
// text, a context a context. Nothing when the file would outgrow the
// format's 32-bit lengths.
using QmFileBytes = std::vector<std::uint8_t, UninitializedLargeAllocator<std::uint8_t>>;

// The same file, handed to put a piece at a time as it is made, so that it
// is never held whole: 0, EFBIG when it would outgrow the format, or put's
// errno.
int writeQmFile(const QmDocument& document, std::span<const std::int32_t> order,
                std::span<const std::uint8_t> contextTable, const QmQtBlocks& qtBlocks,
                const ContentSink& put);

std::optional<QmFileBytes> buildQmFile(const QmDocument& document,
                                       std::span<const std::int32_t> order,
                                       std::span<const std::uint8_t> contextTable,
                                       const QmQtBlocks& qtBlocks = {});

}  // namespace sorvane
