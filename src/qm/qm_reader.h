#pragma once

#include "platform/large_allocation.h"
#include "qm/qm_document.h"

#include <cstdint>
#include <vector>

#include <string_view>

namespace sorvane {

class DialogServices;

// Which lists of the document the reader fills.
enum class QmLists {
  all,               // translations, section and subsection texts, hashes
  translationsOnly,  // translations alone
};

// Room for a file's index and messages blocks. Reads that share one reuse
// its memory instead of taking fresh memory for every file.
struct QmReadBuffer {
  // Filled by each read as soon as it is sized.
  std::vector<std::uint8_t, FilledLargeAllocator<std::uint8_t>> bytes;
};

struct QmReadOptions {
  // Replace the document's contextTable by the file's context bytes.
  bool keepContextTable = false;
  // Show no error box; the comment notice is still shown.
  bool quiet = false;
  QmLists lists = QmLists::all;
  // Where the blocks are read to; the reader's own buffer when null.
  QmReadBuffer* buffer = nullptr;
};

// Reads a QM file into document, validating its structure step by step.
// The lists are appended to, never cleared. On failure the lists keep what
// was appended before it (callers discard them), contextTable is untouched,
// and unless quiet the reason is shown through dialogs.
bool readQmFile(std::u16string_view fileName, QmDocument& document, const QmReadOptions& options,
                DialogServices& dialogs);

}  // namespace sorvane
