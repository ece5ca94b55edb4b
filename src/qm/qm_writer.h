#pragma once

#include "platform/large_allocation.h"
#include "qm/qm_document.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sorvane {

// The size of the record the writer gives an entry: n + 11 without section
// and subsection texts, n + |s| + 17 with a section text only, n + |s| + |u|
// + 23 with both, and n + |u| + 17 with a subsection text only (n: bytes of
// the translation).
std::uint64_t qmRecordSize(std::size_t translationUnits, std::size_t sectionLength,
                           std::size_t subsectionLength);

// The bytes of a QM file holding the document's entries in the given order
// (indices into its lists) and, when it is not empty, the context table as
// context block. Nothing when the file would outgrow the format's 32-bit
// lengths.
using QmFileBytes = std::vector<std::uint8_t, LargeAllocator<std::uint8_t>>;

std::optional<QmFileBytes> buildQmFile(const QmDocument& document,
                                       std::span<const std::int32_t> order,
                                       std::span<const std::uint8_t> contextTable);

}  // namespace sorvane
