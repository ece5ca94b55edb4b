// Measures readQmFile on a generated file of realistic entries, with the
// time to read the same file's bytes into memory as the baseline.

#include "bench_support.h"
#include "platform/text_codec.h"
#include "qm/qm_reader.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"
#include "widetext/byte_stream.h"

#include <cstdio>
#include <vector>

using namespace sorvane;

namespace {

// The same entries as Qt writes them: a language block, every tenth message
// with three plural forms, every tenth (others) with a comment, records of
// comment, source text and context closed by Qt's end tag, numerus rules.
test::Bytes makeQtShapedFile(const std::vector<test::QmEntry>& entries) {
  test::QmParts parts;
  std::uint32_t offset = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const test::QmEntry& entry = entries[i];
    test::Bytes record = test::translationItem(entry.text);
    if (i % 10 == 3) {
      record = test::join({record, test::translationItem(entry.text + u" (2)"),
                           test::translationItem(entry.text + u" (3)")});
    }
    record = test::join({record,
                         test::byteTextItem(0x08, i % 10 == 7 ? "a comment" : ""),
                         test::byteTextItem(0x06, entry.section),
                         test::byteTextItem(0x07, entry.subsection),
                         {0x01}});
    parts.index.push_back({entry.hash, offset});
    offset += static_cast<std::uint32_t>(record.size());
    parts.messages.insert(parts.messages.end(), record.begin(), record.end());
  }
  const test::Bytes plain = test::assembleQm(parts);
  return test::join({test::Bytes(plain.begin(), plain.begin() + 16),
                     {0xA7, 0, 0, 0, 5, 'd', 'e', '_', 'D', 'E'},
                     test::Bytes(plain.begin() + 16, plain.end()),
                     {0x88, 0, 0, 0, 2, 1, 2}});
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t entryCount = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  const std::u16string path = folder.widePath("bench.qm");
  const test::Bytes file = bench::makeQmFile(bench::makeEntries(entryCount, 42));
  bench::writeFile(folder.path("bench.qm"), file);
  bench::settle();
  std::printf("QM file: %zu entries, %.1f MB\n", entryCount,
              static_cast<double>(file.size()) / 1e6);

  const auto [rawBest, rawMedian] = bench::timeRuns(7, [&] {
    ByteStream stream = ByteStream::openForReading(path);
    std::vector<unsigned char> bytes(stream.size());
    stream.read(bytes.data(), bytes.size());
  });
  std::printf("baseline, read the file's bytes:  best %7.2f ms, median %7.2f ms\n", rawBest,
              rawMedian);

  test::RecordingDialogServices dialogs;
  const QmReadOptions options{.keepContextTable = true, .quiet = false, .lists = QmLists::all};
  bool ok = true;
  const auto [best, median] = bench::timeRuns(7, [&] {
    QmDocument document;
    ok = ok && readQmFile(path, document, options, dialogs);
  });
  std::printf("readQmFile, all lists and context: best %7.2f ms, median %7.2f ms\n", best, median);

  const std::size_t before = bench::residentBytes();
  QmDocument document;
  ok = ok && readQmFile(path, document, options, dialogs);
  const std::size_t held = bench::residentBytes() - before;
  std::printf("memory held after the read:        %.1f MB (%.2f x the file size)\n",
              static_cast<double>(held) / 1e6,
              static_cast<double>(held) / static_cast<double>(file.size()));
  if (!ok || document.translations.count() != static_cast<std::int32_t>(entryCount)) {
    std::printf("FAILED: the generated file was not read back\n");
    return 1;
  }

  const test::Bytes qtFile = makeQtShapedFile(bench::makeEntries(entryCount, 42));
  bench::writeFile(folder.path("qt.qm"), qtFile);
  const std::u16string qtPath = folder.widePath("qt.qm");
  std::printf("Qt-shaped file (10%% plural, 10%% comments): %.1f MB\n",
              static_cast<double>(qtFile.size()) / 1e6);
  const auto [qtBest, qtMedian] = bench::timeRuns(7, [&] {
    QmDocument qtDocument;
    ok = ok && readQmFile(qtPath, qtDocument, options, dialogs);
  });
  std::printf("readQmFile, Qt-shaped file:        best %7.2f ms, median %7.2f ms\n", qtBest,
              qtMedian);
  return ok ? 0 : 1;
}
