#pragma once

#include "main_window_fixture.h"
#include "support/scoped_environment.h"

#include <QObject>

#include <optional>

namespace sorvane::test {

// The translation memory in the window: the suggestions panel, Ctrl+1,
// Pretranslate, what a save teaches, and a memory that can't be used.
class MemoryPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void theSelectedRowShowsItsSuggestionsAndCtrl1TypesTheFirst();
  void pretranslateFillsExactMatchesAndUndoEmptiesThem();
  void aSaveTeachesTheMemoryItsTranslations();
  void addFolderLearnsItsFilesAndSaysWhatItAdded();
  void aDamagedMemoryIsNamedAndTheEditorWorksOn();

 private:
  void openGerman();

  std::optional<TempFolder> data;
  std::optional<ScopedEnvironment> dataHome;
  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
