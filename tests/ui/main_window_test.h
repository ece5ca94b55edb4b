#pragma once

#include "main_window_fixture.h"

#include <QObject>

namespace sorvane::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void everyControlHasItsNameCaptionAndInitialState();
  void controlsKeepTheirArrangementOnResize();
  void modeButtonsSwitchLabelsAndControls();
  void openingSetsTheStateOfEveryControl();
  void modUpdateOpenLeavesTheDebugButtonDisabled();
  void aFailedOpenChangesNoControl();
  void closingTheWindowAsksAboutUnsavedChanges();
  void closingWithoutSavingDropsTheChanges();
  void closeButtonKeepsTheFilesWhenTheQuestionIsCancelled();
  void saveButtonSavesAndDisablesItself();
  void tabMovesThroughTheControlsInCreationOrder();
  void stripLabelTogglesTheControlsPanel();
  void exportDialogExportsAndImportsBack();
  void exportDialogGoesThroughATranslationToolsFormat();
  void debugButtonWritesTheDebugFileAndLeavesTheSession();
  void searchWindowFindsFilesAndOpensOne();
  void closingTheMainWindowEndsASearchAndItsWindow();
  void behavesLikeADesktopEditor();
  void findShowsNotFoundAndWrapping();
  void theCommandLineNamesTheFilesToOpen();
  void droppedFilesFillThePathBoxes();

 private:
  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
