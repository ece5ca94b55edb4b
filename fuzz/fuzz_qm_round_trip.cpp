// Reads arbitrary bytes as a QM file; where they read, builds the file a
// new Mod of it would save, reads that back and requires the same document:
// every text and form, "no translation" marks, how each record names its
// message, comments, section and subsection texts, hashes and blocks.

#include "fuzz_support.h"
#include "qm/qm_reader.h"
#include "qm/qm_writer.h"

#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

using sorvane::QmDocument;

bool sameEntries(const QmDocument& a, const QmDocument& b) {
  const std::int32_t count = a.translations.count();
  if (b.translations.count() != count || a.hashes != b.hashes) return false;
  for (std::int32_t i = 0; i < count; ++i) {
    if (a.sectionTexts.view(i) != b.sectionTexts.view(i) ||
        a.subsectionTexts.view(i) != b.subsectionTexts.view(i) ||
        a.comments.view(i) != b.comments.view(i) || a.forms.count(i) != b.forms.count(i) ||
        a.forms.marks(i) != b.forms.marks(i)) {
      return false;
    }
    for (std::int32_t form = 0; form < a.forms.count(i); ++form) {
      if (a.formText(i, form) != b.formText(i, form) ||
          a.forms.absent(i, form) != b.forms.absent(i, form)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvane;
  const std::u16string path = fuzz::writeInputFile(data, size);
  fuzz::SilentDialogServices dialogs;
  QmDocument document;
  if (!readQmFile(path, document, {.keepContextTable = true}, dialogs)) return 0;

  // A file without entries has nothing to save: its saved index would be
  // empty, which no reader accepts.
  if (document.translations.count() == 0) return 0;
  std::vector<std::int32_t> order(static_cast<std::size_t>(document.translations.count()));
  std::iota(order.begin(), order.end(), 0);
  const std::optional<QmFileBytes> saved =
      buildQmFile(document, order, document.contextTable, qtBlocksOf(document));
  if (!saved) return 0;  // beyond the format's 32-bit lengths
  const std::u16string savedPath = fuzz::writeInputFile(saved->data(), saved->size(), 1);
  QmDocument back;
  if (!readQmFile(savedPath, back, {.keepContextTable = true}, dialogs)) std::abort();
  if (!sameEntries(document, back) || back.contextTable != document.contextTable ||
      back.languageBlock != document.languageBlock ||
      back.dependenciesBlock != document.dependenciesBlock ||
      back.numerusRulesBlock != document.numerusRulesBlock ||
      back.qtRecords != document.qtRecords) {
    std::abort();
  }
  return 0;
}
