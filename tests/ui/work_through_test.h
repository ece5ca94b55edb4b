#pragma once

#include "main_window_fixture.h"

#include <QObject>

namespace sorvane::test {

// The filter bar, search and replace, store and go on, import on its own
// and spelling, through the real widgets.
class WorkThroughTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void theFilterBarShowsTheMatchingRowsAndCountsThem();
  void replacePreviewsEveryHitAndStoresTheCheckedOnesInOneStep();
  void ctrlGStoresAndOpensTheNextRowLeftToDo();
  void ctrlIImportsAnExportedFileWithTheWindowFree();
  void misspeltWordsAreUnderlinedAndTheMenuOffersSuggestions();

 private:
  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
