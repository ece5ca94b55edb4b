#pragma once

#include "main_window_fixture.h"

#include <QObject>

class QPlainTextEdit;

namespace sorvane::test {

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void doubleClickOpensTheEditorsOverTheRow();
  void enterCommitsAndTheLogRecordsIt();
  void escapeAndClicksElsewhereDropTheEdit();
  void scrollingResizingAndFontChangesDropTheEdit();
  void editorsGrowWithTheirTextAndStayInView();
  void enterInTheReadOnlyEditorCommitsToo();
  void tabAndShiftTabMoveBetweenTheEditors();
  void theCaptionCountsWhileTyping();
  void changeSameFollowsItsCheckBoxAndCtrlH();
  void undoAndRedoByButtonsAndKeys();
  void undoThenEditDisablesRedo();
  void ctrlZInATextBoxUndoesNothing();
  void disabledCommandsRefuseTheirKeys();
  void enterAndEscapeAreTakenWhereTheyHaveNoUse();
  void ctrlKeysMoveTheFocusAndToggleThePanel();
  void deleteEmptiesAModUpdateRow();
  void capsLockStopsF2AndDeleteButNotEnter();
  void modUpdateCommitOfAnEmptyTextRemovesTheEntry();

 private:
  QPlainTextEdit& editor(const char* name) const;
  void openTraditional(const std::vector<QmEntry>& entries);
  void doubleClickRow(int row);

  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
