// Measures the export and import of every Mod text, and the command line's
// dump as a whole process against Qt's lconvert converting the same file
// (skipped where lconvert is missing).

#include "bench_support.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"
#include "textio/text_export.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace sorvane;

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  bench::writeFile(folder.path("mod.qm"), bench::makeQmFile(bench::makeEntries(count, 42)));
  bench::settle();
  test::RecordingDialogServices dialogs;
  Session session;
  SessionPaths paths{u"", folder.widePath("mod.qm"), folder.widePath("mod.qm")};
  if (!session.openSession(SessionMode::traditional, paths, dialogs)) {
    std::printf("FAILED: the file did not open\n");
    return 1;
  }
  std::printf("%d Mod texts\n", session.rowCount());
  bool ok = true;
  const auto exported = bench::timeRuns(
      5, [&] { ok = ok && writeExportFile(session.mod(), folder.widePath("mod.txt")) == 0; });
  std::printf("export:  best %7.2f ms, median %7.2f ms\n", exported.first, exported.second);
  WideStringList imported;
  const auto importedTime = bench::timeRuns(5, [&] {
    ok = ok && importTextFile(session, folder.widePath("mod.txt"), dialogs, imported);
  });
  std::printf("import:  best %7.2f ms, median %7.2f ms\n", importedTime.first, importedTime.second);

  const std::filesystem::path cli =
      std::filesystem::path(argv[0]).parent_path().parent_path() / "src/cli/sorvane-cli";
  const char* lconvert = "/usr/lib/qt6/bin/lconvert";
  if (std::filesystem::exists(cli) && std::filesystem::exists(lconvert)) {
    double dump = 1e9;
    for (int run = 0; run < 3; ++run) {
      dump = std::min(dump, bench::processSeconds("'" + cli.string() + "' dump '" +
                                                  folder.path("mod.qm") + "' > /dev/null"));
    }
    // lconvert takes long on a file this size: one run.
    const double qt =
        bench::processSeconds(std::string(lconvert) + " -i '" + folder.path("mod.qm") + "' -o '" +
                              folder.path("mod.ts") + "' 2> /dev/null");
    std::printf("sorvane-cli dump as a process: %7.1f ms; lconvert to .ts: %7.1f ms (%.2f x)\n",
                dump * 1e3, qt * 1e3, dump / qt);
  } else {
    std::printf("dump against lconvert: skipped (lconvert or sorvane-cli missing)\n");
  }
  return ok ? 0 : 1;
}
