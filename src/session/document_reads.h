#pragma once

#include "platform/deferred_dialogs.h"
#include "qm/qm_document.h"
#include "qm/qm_reader.h"

#include <functional>
#include <span>
#include <string_view>

namespace sorvane {

// One file to be read into a document, and what came of it.
struct DocumentRead {
  std::u16string_view path;
  QmDocument* document = nullptr;
  bool keepContextTable = false;
  bool ok = false;
  // What the read would have shown, for the caller to show when it gets to
  // this file; the files after a failed one usually show nothing.
  DeferredDialogs messages;
};

// How one file is read; readQmFile, or a stand-in in tests.
using ReadFunction =
    std::function<bool(std::u16string_view, QmDocument&, const QmReadOptions&, DialogServices&)>;

// Reads the files side by side, on as many threads as there are cores (the
// calling one included, never more than one a file); on one core, or when
// no thread can be started, one after the other. A read that throws fails
// its file with "Not enough memory to read" (what escapes the reader is a
// size it could not hold).
void readDocuments(std::span<DocumentRead> reads, const ReadFunction& read = readQmFile);

}  // namespace sorvane
