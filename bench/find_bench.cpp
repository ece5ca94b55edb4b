// Measures find in the list at its worst: a text that is in no row, so each
// keystroke searches every cell twice (to the end, then from the top). The
// baseline is one pass that only reads every cell's text.

#include "bench_support.h"
#include "session/find_in_list.h"
#include "session/row_view.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <cstdio>

using namespace sorvane;

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  bench::writeUpdateFiles(folder, count);
  bench::settle();
  test::RecordingDialogServices dialogs;
  Session session;
  SessionPaths paths{folder.widePath("old.qm"), folder.widePath("new.qm"),
                     folder.widePath("mod.qm")};
  if (!session.openSession(SessionMode::modUpdate, paths, dialogs)) {
    std::printf("FAILED: the files did not open\n");
    return 1;
  }
  std::printf("%d rows, Mod update (three searched columns)\n", session.rowCount());

  std::size_t units = 0;
  const auto baseline = bench::timeRuns(5, [&] {
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      units += session.rowOldOriginalText(row).size() + session.rowOriginalText(row).size() +
               session.rowModText(row).size();
    }
  });
  std::printf("baseline, read every searched cell once:  best %7.2f ms, median %7.2f ms\n",
              baseline.first, baseline.second);

  RowView everyRow;
  everyRow.showAll(session.rowCount());
  int beeps = 0;
  bool found = false;
  const auto noMatch = bench::timeRuns(5, [&] {
    found = found || findFrom(session, everyRow, 0, u"no such text qx", {}, [&beeps] {
                       ++beeps;
                     }).has_value();
  });
  std::printf("find, no match (two passes) a keystroke: best %7.2f ms, median %7.2f ms\n",
              noMatch.first, noMatch.second);
  const auto wildcards = bench::timeRuns(5, [&] {
    found = found ||
            findFrom(session, everyRow, 0, u"a*a*a*a*qx", {}, [&beeps] { ++beeps; }).has_value();
  });
  std::printf("find, no match, pattern a*a*a*a*qx:        best %7.2f ms, median %7.2f ms\n",
              wildcards.first, wildcards.second);
  return !found && beeps > 0 && units > 0 ? 0 : 1;
}
