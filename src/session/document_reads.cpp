#include "session/document_reads.h"

#include "qm/qm_reader.h"
#include "qm/read_errors.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace sorvane {

void readDocuments(std::span<DocumentRead> reads, const ReadFunction& readFile) {
  std::atomic<std::size_t> next{0};
  const auto work = [&reads, &next, &readFile] {
    for (std::size_t i = next++; i < reads.size(); i = next++) {
      DocumentRead& read = reads[i];
      try {
        // Each file is read straight into its document's memory.
        const QmReadOptions options{.keepContextTable = read.keepContextTable,
                                    .quiet = false,
                                    .lists = QmLists::all,
                                    .buffer = nullptr};
        read.ok = readFile(read.path, *read.document, options, read.messages);
      } catch (const std::exception&) {
        // Whatever escaped the reader (it handles running out of memory
        // itself) fails this file like any other reason it can't be read.
        read.ok = false;
        reportOutOfMemory(read.messages, read.path);
      }
    }
  };
  const std::size_t threads =
      std::min<std::size_t>(reads.size(), std::max(1U, std::thread::hardware_concurrency()));
  std::vector<std::jthread> helpers;
  try {
    while (helpers.size() + 1 < threads) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // The threads that did start, and this one, read the rest.
  }
  work();
}

}  // namespace sorvane
