// Measures Change same over 200,000 rows that all have the same original
// text: one commit stores the text in every row and logs every row, though
// the log keeps only the latest 999 entries. The baseline is storing the
// same texts without the log.

#include "bench_support.h"
#include "session/editing.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <cstdio>

using namespace sorvane;

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  {
    std::vector<test::QmEntry> entries(count, test::QmEntry{1, u"Same original text", "s", "u"});
    bench::writeFile(folder.path("en.qm"), bench::makeQmFile(entries));
  }
  bench::settle();
  test::RecordingDialogServices dialogs;
  Session session;
  SessionPaths paths{u"", folder.widePath("en.qm"), u""};
  if (!session.openSession(SessionMode::traditional, paths, dialogs)) {
    std::printf("FAILED: the file did not open\n");
    return 1;
  }

  int round = 0;
  const auto baseline = bench::timeRuns(5, [&] {
    const std::u16string text = u"baseline " + std::u16string(1, u'a' + round++ % 26);
    const Session::BatchedChanges batch(session);
    for (std::int32_t row = 0; row < session.rowCount(); ++row) session.setRowModText(row, text);
  });
  std::printf("%d rows\n", session.rowCount());
  std::printf("baseline, store the text in every row:  best %7.2f ms, median %7.2f ms\n",
              baseline.first, baseline.second);
  bool ok = true;
  const auto changeSame = bench::timeRuns(5, [&] {
    const std::u16string text = u"Gleicher Text " + std::u16string(1, u'a' + round++ % 26);
    ok = ok && commitEdit(session, 0, text, true);
  });
  std::printf("Change same, commit with every row logged: best %7.2f ms, median %7.2f ms\n",
              changeSame.first, changeSame.second);
  std::printf("undo log: %d undoable steps\n", session.undoLog().undoPos());
  return ok && session.undoLog().undoPos() == UndoLog::kLast ? 0 : 1;
}
