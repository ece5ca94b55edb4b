// Measures the folder search over generated QM files for a text that is in
// none of them, against ripgrep searching the same folder as UTF-16BE in the
// same run (skipped where rg is missing).

#include "bench_support.h"
#include "platform/path_codec.h"
#include "search/folder_search.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace sorvane;

int main(int argc, char** argv) {
  const std::size_t files = bench::entriesArgument(argc, argv, 2000);
  test::TempFolder folder;
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < files; ++i) {
    const test::Bytes file = bench::makeQmFile(bench::makeEntries(1900, i + 1));
    bytes += file.size();
    bench::writeFile(folder.path("f" + std::to_string(i) + ".qm"), file);
  }
  bench::settle();
  std::printf("%zu QM files, %.0f MB\n", files, static_cast<double>(bytes) / 1e6);

  test::RecordingDialogServices dialogs;
  std::int32_t found = 0;
  const FolderSearchHooks hooks{
      .enteringFolder = [](std::u16string_view) {},
      .found = [&found](std::u16string_view) { ++found; },
      .recurse = [] { return true; },
      .searchText = [] { return std::u16string(u"no such text qx"); },
      .afterEntry = [] {},
      .stopRequested = [] { return false; },
  };
  const auto ours =
      bench::timeRuns(3, [&] { searchFolder(pathFromNative(folder.path()), hooks, dialogs); });
  std::printf("folder search, no match:   best %8.1f ms, median %8.1f ms\n", ours.first,
              ours.second);
  if (std::system("command -v rg > /dev/null 2>&1") == 0) {
    // Plain rg stops reading a file at its first NUL byte ("binary"), so it
    // never looks at most of a QM file and misses texts stored there; with
    // --binary it reads every byte, as this search must.
    for (const char* options : {"--binary -i -E utf-16be", "-i -E utf-16be"}) {
      const std::string command =
          std::string("rg ") + options + " 'no such text qx' '" + folder.path() + "' > /dev/null";
      const auto rg =
          bench::timeRuns(3, [&] { [[maybe_unused]] int ignored = std::system(command.c_str()); });
      std::printf("rg %-24s no match: best %8.1f ms, median %8.1f ms (ours %.2f x)\n", options,
                  rg.first, rg.second, ours.first / rg.first);
    }
  } else {
    std::printf("rg: skipped (not installed)\n");
  }
  return found == 0 ? 0 : 1;
}
