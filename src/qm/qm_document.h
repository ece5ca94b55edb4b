#pragma once

#include "widetext/byte_string_list.h"
#include "widetext/wide_string_list.h"

#include <cstdint>
#include <vector>

namespace sorvane {

// The content of one QM file as parallel lists in file index order: entry i
// of every collected list describes the same message record.
struct QmDocument {
  WideStringList translations;
  // The record's section and subsection texts; empty when it has none.
  ByteStringList sectionTexts;
  ByteStringList subsectionTexts;
  std::vector<std::uint32_t> hashes;
  // The opaque bytes of the context block, without its tag and length;
  // empty when the file has none.
  std::vector<std::uint8_t> contextTable;

  void clear() {
    translations.clear();
    sectionTexts.clear();
    subsectionTexts.clear();
    hashes.clear();
    hashes.shrink_to_fit();
    contextTable.clear();
    contextTable.shrink_to_fit();
  }
};

}  // namespace sorvane
