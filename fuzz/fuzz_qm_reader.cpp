// Feeds arbitrary bytes to readQmFile as a file, in both list modes. A read
// must never crash or overread; a successful read must give parallel lists.
// The folder search's own check of a file must agree with the reader.

#include "fuzz_support.h"
#include "qm/qm_reader.h"
#include "search/qm_file_test.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvane;
  const std::u16string path = fuzz::writeInputFile(data, size);
  fuzz::SilentDialogServices dialogs;

  QmDocument document;
  const bool read = readQmFile(path, document, {.keepContextTable = true}, dialogs);
  if (read) {
    const auto entries = static_cast<std::size_t>(document.translations.count());
    if (document.hashes.size() != entries ||
        static_cast<std::size_t>(document.sectionTexts.count()) != entries ||
        static_cast<std::size_t>(document.subsectionTexts.count()) != entries) {
      std::abort();
    }
  } else if (dialogs.messages == 0) {
    std::abort();  // A refusal that is not quiet always says why.
  }

  QmDocument translationsOnly;
  fuzz::SilentDialogServices quietDialogs;
  const bool quietRead = readQmFile(
      path, translationsOnly, {.quiet = true, .lists = QmLists::translationsOnly}, quietDialogs);
  if (quietRead != read) std::abort();

  // The folder search tests a file in pieces, checking it as the reader
  // does: "*" finds every file with an entry, a piece of a text its file.
  const auto keepGoing = [] { return true; };
  const bool anyEntry = read && document.translations.count() > 0;
  if ((testQmFile(path, u"*", quietDialogs, keepGoing) == FileTestResult::found) != anyEntry) {
    std::abort();
  }
  if (anyEntry) {
    std::u16string piece(document.translations.view(0).substr(0, 4));
    for (char16_t& unit : piece) {
      if (unit == u'*') unit = u'?';
    }
    if (testQmFile(path, piece, quietDialogs, keepGoing) != FileTestResult::found) std::abort();
  }
  return 0;
}
