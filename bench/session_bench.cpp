// Measures opening, reading every row and saving with generated files of
// 200,000 entries (see makeUpdateFiles). Reading the three
// files alone is the baseline of the "Mod update" open.

#include "bench_support.h"
#include "qm/qm_reader.h"
#include "qm/qm_writer.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace sorvane;

namespace {

// "Mod update" open and save as a whole process (fresh memory and all),
// against Qt's lconvert converting one of the three files.
void reportProcesses(const char* program, const test::TempFolder& folder, bool withLconvert) {
  const std::filesystem::path cli =
      std::filesystem::path(program).parent_path().parent_path() / "src/cli/sorvane-cli";
  const char* lconvert = "/usr/lib/qt6/bin/lconvert";
  if (!std::filesystem::exists(cli) || !std::filesystem::exists(lconvert)) {
    std::printf("save --old against lconvert: skipped (lconvert or sorvane-cli missing)\n");
    return;
  }
  double save = 1e9;
  for (int run = 0; run < 3; ++run) {
    save = std::min(
        save, bench::processSeconds("'" + cli.string() + "' save --old '" + folder.path("old.qm") +
                                    "' '" + folder.path("new.qm") + "' '" + folder.path("mod.qm") +
                                    "' '" + folder.path("out.qm") + "' > /dev/null"));
  }
  if (!withLconvert) {
    std::printf("sorvane-cli save --old as a process: %7.1f ms\n", save * 1e3);
    return;
  }
  const double qt = bench::processSeconds(std::string(lconvert) + " -i '" + folder.path("new.qm") +
                                          "' -o '" + folder.path("new.ts") + "' 2> /dev/null");
  std::printf(
      "sorvane-cli save --old as a process: %7.1f ms; lconvert of new.qm: %7.1f ms (%.2f x)\n",
      save * 1e3, qt * 1e3, save / qt);
}

void report(const char* what, std::pair<double, double> times) {
  std::printf("%-52s best %8.2f ms, median %8.2f ms\n", what, times.first, times.second);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  bench::writeUpdateFiles(folder, count);

  test::RecordingDialogServices dialogs;
  const SessionPaths traditionalPaths{u"", folder.widePath("old.qm"), folder.widePath("mod.qm")};
  const SessionPaths updatePaths{folder.widePath("old.qm"), folder.widePath("new.qm"),
                                 folder.widePath("mod.qm")};
  bool ok = true;

  {
    // The first Open of a process also pays for memory the process has never
    // touched, which is costly on virtual machines.
    bench::settle();
    const std::size_t before = bench::residentBytes();
    bench::Timer cold;
    Session session;
    SessionPaths paths = updatePaths;
    ok = session.openSession(SessionMode::modUpdate, paths, dialogs);
    std::printf("%-52s %8.2f ms\n", "first open in this process, Mod update", cold.milliseconds());
    bench::settle();
    std::size_t fileBytes = 0;
    for (const char* name : {"old.qm", "new.qm", "mod.qm"}) {
      fileBytes += std::filesystem::file_size(folder.path(name));
    }
    const auto held = static_cast<double>(bench::residentBytes() - before);
    std::printf("%-52s %8.1f MB (%.2f x the three files' %.1f MB)\n",
                "memory held by the open Mod update session", held / 1e6,
                held / static_cast<double>(fileBytes), static_cast<double>(fileBytes) / 1e6);
  }
  {
    // The part of it that is the three documents alone.
    bench::settle();
    const std::size_t before = bench::residentBytes();
    std::vector<QmDocument> documents(3);
    for (std::size_t i = 0; i < 3; ++i) {
      ok = ok && readQmFile(folder.widePath(std::array{"old.qm", "new.qm", "mod.qm"}[i]),
                            documents[i], {}, dialogs);
    }
    bench::settle();
    std::printf("%-52s %8.1f MB\n", "  of which the three documents",
                static_cast<double>(bench::residentBytes() - before) / 1e6);
  }
  report("baseline: readQmFile of the three files", bench::timeRuns(5, [&] {
           for (const char* name : {"old.qm", "new.qm", "mod.qm"}) {
             QmDocument document;
             ok = ok && readQmFile(folder.widePath(name), document, {}, dialogs);
           }
         }));
  report("open, Traditional", bench::timeRuns(5, [&] {
           Session session;
           SessionPaths paths = traditionalPaths;
           ok = ok && session.openSession(SessionMode::traditional, paths, dialogs);
         }));
  report("open, Mod update (three files and the rows)", bench::timeRuns(5, [&] {
           Session session;
           SessionPaths paths = updatePaths;
           ok = ok && session.openSession(SessionMode::modUpdate, paths, dialogs);
         }));

  Session session;
  SessionPaths paths = updatePaths;
  ok = ok && session.openSession(SessionMode::modUpdate, paths, dialogs);
  std::size_t sink = 0;
  report("Mod update: rowModText and rowState of every row", bench::timeRuns(5, [&] {
           for (std::int32_t row = 0; row < session.rowCount(); ++row) {
             sink +=
                 session.rowModText(row).size() + static_cast<std::size_t>(session.rowState(row));
           }
         }));
  std::printf("(%d rows)\n", session.rowCount());

  paths.mod = folder.widePath("saved-update.qm");
  report("save, Mod update (sorted, flushed to disk)",
         bench::timeRuns(5, [&] { ok = ok && writeModFile(session, paths, dialogs); }));
  report("  of which sorting the entries",
         bench::timeRuns(5, [&] { sink += writtenModEntries(session).size(); }));
  const std::vector<std::int32_t> order = writtenModEntries(session);
  report("  of which building the bytes", bench::timeRuns(5, [&] {
           sink += buildQmFile(session.mod(), order, session.newOriginal().contextTable)->size();
         }));

  Session traditional;
  SessionPaths plainPaths = traditionalPaths;
  ok = ok && traditional.openSession(SessionMode::traditional, plainPaths, dialogs);
  plainPaths.mod = folder.widePath("saved-traditional.qm");
  report("save, Traditional (flushed to disk)",
         bench::timeRuns(5, [&] { ok = ok && writeModFile(traditional, plainPaths, dialogs); }));

  // lconvert takes half a minute on the usual files: not on larger ones.
  reportProcesses(argv[0], folder, count <= 200000);
  if (!ok || !dialogs.calls().empty() || sink == 0) {
    std::printf("FAILED: an operation failed\n");
    return 1;
  }
  return 0;
}
