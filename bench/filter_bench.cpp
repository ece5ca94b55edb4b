// Measures a change of the list's filter over a "Mod update" session of a
// million rows: each filter as the window applies it (the rows kept, then
// the view that maps the list's lines to them), against one pass that only
// reads every row's Mod text, which a text filter must do at least.

#include "bench_support.h"
#include "controller/window_controller.h"
#include "session/row_filter.h"
#include "session/row_view.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <cstdio>

using namespace sorvane;

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 1000000);
  test::TempFolder folder;
  bench::writeUpdateFiles(folder, count);
  bench::settle();
  test::RecordingDialogServices dialogs;
  WindowController controller(dialogs);
  controller.chooseMode(SessionMode::modUpdate);
  controller.setPaths(
      {folder.widePath("old.qm"), folder.widePath("new.qm"), folder.widePath("mod.qm")});
  controller.openFiles();
  const Session& session = controller.session();
  if (!session.isOpen()) {
    std::printf("FAILED: the files did not open\n");
    return 1;
  }
  std::printf("%d rows, Mod update\n", session.rowCount());

  std::size_t units = 0;
  const auto baseline = bench::timeRuns(5, [&] {
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      units += session.rowModText(row).size();
    }
  });
  std::printf("baseline, read every Mod text once:      best %7.2f ms, median %7.2f ms\n",
              baseline.first, baseline.second);

  const RowFacts facts{session, controller.problems(), controller.progress()};
  std::vector<std::int32_t> order;
  const auto sorting = bench::timeRuns(3, [&] { order = contextOrder(session); });
  std::printf("order by context (once per Open):        best %7.2f ms, median %7.2f ms\n",
              sorting.first, sorting.second);

  const struct {
    const char* name;
    RowFilter filter;
    bool contextOrder;
  } cases[] = {
      {"untranslated or incomplete", {.kind = RowKindFilter::unfinished, .pattern = u""}, false},
      {"left to see to", {.kind = RowKindFilter::left, .pattern = u""}, false},
      {"with a problem", {.kind = RowKindFilter::problem, .pattern = u""}, false},
      {"Mod text holds \"datei\"",
       {RowKindFilter::all, FilterField::modText, PatternKind::plain, u"datei"},
       false},
      {"any text holds \"no such qx\"",
       {RowKindFilter::all, FilterField::allTexts, PatternKind::plain, u"no such qx"},
       false},
      {"original matches \"d*t?i\"",
       {RowKindFilter::all, FilterField::original, PatternKind::wildcard, u"d*t?i"},
       false},
      {"Mod text matches /\\bda\\w+/",
       {RowKindFilter::all, FilterField::modText, PatternKind::regex, u"\\bda\\w+"},
       false},
      {"untranslated, by context", {.kind = RowKindFilter::unfinished, .pattern = u""}, true},
  };
  int kept = 0;
  for (const auto& c : cases) {
    RowView view;
    const auto times = bench::timeRuns(5, [&] {
      std::optional<std::vector<std::int32_t>> rows =
          filterRows(facts, c.contextOrder ? order : std::vector<std::int32_t>(), c.filter);
      kept = rows ? static_cast<int>(rows->size()) : -1;
      view.show(std::move(*rows), session.rowCount());
    });
    std::printf("filter %-32s best %7.2f ms, median %7.2f ms (%d rows)\n", c.name, times.first,
                times.second, kept);
  }
  return units > 0 && kept >= 0 ? 0 : 1;
}
