// Measures the translation checks over 200,000 rows of "Mod update": the
// full check that runs when files open, and the re-check after one edit
// (the edited row and the rows of its context with the same accelerator
// letter), in files of small contexts and in a file of 200 contexts of
// 1,000 rows each. The baseline reads every row's Mod and original text,
// which any check must do.

#include "bench_support.h"
#include "session/row_problems.h"
#include "session/session.h"
#include "session/translation_progress.h"
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
  std::printf("%d rows\n", session.rowCount());

  std::size_t characters = 0;
  const auto baseline = bench::timeRuns(5, [&] {
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      characters += session.rowModText(row).size() + session.rowOriginalText(row).size();
    }
  });
  std::printf("baseline, read every row's texts:  best %7.2f ms, median %7.2f ms\n", baseline.first,
              baseline.second);

  RowProblems problems;
  const auto full = bench::timeRuns(5, [&] { problems.checkAll(session); });
  std::printf(
      "full check of every row:           best %7.2f ms, median %7.2f ms (%d rows "
      "with problems)\n",
      full.first, full.second, problems.rowsWithProblems());

  // What Open adds beside the checks, on the other core.
  TranslationProgress progress;
  const auto states = bench::timeRuns(5, [&] { progress.computeAll(session); });
  std::printf("translation states and words:      best %7.2f ms, median %7.2f ms (%lld words)\n",
              states.first, states.second, static_cast<long long>(progress.counts().all.words));

  const auto recheck = [&problems](Session& edited, const char* what) {
    int round = 0;
    const std::int32_t row = edited.rowCount() / 2;
    const auto times = bench::timeRuns(21, [&] {
      edited.setRowModText(row, round++ % 2 == 0 ? u"&Hilfe: %1" : u"&Datei");
      problems.recheckRow(edited, row);
    });
    std::printf("store one text and re-check it, %s: best %7.3f ms, median %7.3f ms\n", what,
                times.first, times.second);
  };
  recheck(session, "small contexts");

  // One file, its own Mod, where every row shares its context with 999
  // others and many have the accelerator &h.
  std::vector<test::QmEntry> entries = bench::makeEntries(count, 7);
  for (std::size_t i = 0; i < entries.size(); ++i)
    entries[i].subsection = "ctx" + std::to_string(i % 200);
  bench::writeFile(folder.path("contexts.qm"), bench::makeQmFile(entries));
  Session contexts;
  SessionPaths contextPaths{u"", folder.widePath("contexts.qm"), u""};
  if (!contexts.openSession(SessionMode::traditional, contextPaths, dialogs)) {
    std::printf("FAILED: the file did not open\n");
    return 1;
  }
  for (std::int32_t row = 0; row < contexts.rowCount(); row += 3) {
    contexts.setRowModText(row, u"&Hilfe " + std::u16string(contexts.rowOriginalText(row)));
  }
  problems.checkAll(contexts);
  recheck(contexts, "contexts of 1,000");
  return characters > 0 ? 0 : 1;
}
