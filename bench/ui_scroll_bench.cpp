// Opens a "Mod update" session of about 200,000 rows in the main window and
// scrolls from top to bottom a page at a time, timing each repaint of the
// list. Runs on Qt's offscreen platform unless another one is chosen.

#include "app/main_window.h"
#include "app/string_list_view.h"
#include "bench_support.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace sorvane;

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  test::TempFolder folder;
  bench::writeUpdateFiles(folder, count);

  QApplication application(argc, argv);
  QApplication::setStyle(QStringLiteral("Windows"));
  test::RecordingDialogServices dialogs;
  MainWindow window(dialogs);
  window.resize(1000, 800);
  window.show();
  QApplication::processEvents();
  window.findChild<QRadioButton*>("ModUpdateRadio")->click();
  window.findChild<QLineEdit*>("OldOriginalEdit")
      ->setText(QString::fromStdString(folder.path("old.qm")));
  window.findChild<QLineEdit*>("NewOriginalEdit")
      ->setText(QString::fromStdString(folder.path("new.qm")));
  window.findChild<QLineEdit*>("ModFileEdit")
      ->setText(QString::fromStdString(folder.path("mod.qm")));
  bench::Timer openTimer;
  window.findChild<QPushButton*>("OpenButton")->click();
  const double openMs = openTimer.milliseconds();
  StringListView& list = window.stringList();
  bench::Timer firstPaintTimer;
  list.viewport()->repaint();
  const double firstPaintMs = firstPaintTimer.milliseconds();
  const int rows = list.model()->rowCount();
  if (rows == 0 || !dialogs.calls().empty()) {
    std::printf("FAILED: the files did not open\n");
    return 1;
  }

  QScrollBar* scrollBar = list.verticalScrollBar();
  std::vector<double> times;
  bench::Timer total;
  for (int value = 0;; value += scrollBar->pageStep()) {
    scrollBar->setValue(std::min(value, scrollBar->maximum()));
    bench::Timer paint;
    list.viewport()->repaint();
    times.push_back(paint.milliseconds());
    if (value >= scrollBar->maximum()) break;
  }
  const double totalMs = total.milliseconds();
  std::sort(times.begin(), times.end());
  std::printf("%d rows, %d visible per page; Open button %.1f ms, first paint %.1f ms\n", rows,
              scrollBar->pageStep(), openMs, firstPaintMs);
  std::printf(
      "%zu page repaints in %.0f ms: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
      times.size(), totalMs, times[times.size() / 2], times[times.size() * 99 / 100], times.back());
  return 0;
}
