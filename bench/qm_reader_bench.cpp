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
  return 0;
}
