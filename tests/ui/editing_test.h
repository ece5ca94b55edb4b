#pragma once

#include "main_window_fixture.h"

#include <QObject>
#include <QWidget>

class QPlainTextEdit;

namespace sorvane::test {

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void doubleClickOpensTheEditorsOverTheRow();
  void enterCommitsAndTheLogRecordsIt();
  void escapeDropsTheEditAClickElsewhereKeepsIt();
  void scrollingResizingAndFontChangesKeepTheEdit();
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
  void ctrlLettersWorkInALayoutWithoutLatinLetters();
  void undoAndRedoKeepAnOpenEdit();
  void theWindowGoesWithASessionAndAnEditOpen();
  void enterWithoutTypingStoresTheGivenTextInItsStoredForm();
  void typingKeepsTheUntouchedPartsExactly();
  void modUpdateCommitOfAnEmptyTextRemovesTheEntry();
  void theModLanguageBoxGivesTheModItsFormsAndUndoTakesThemBack();

 private:
  // The key state bits X11 and Wayland report: Lock, and Control.
  static constexpr quint32 kLockedState = 0x2;
  static constexpr quint32 kControlState = 0x4;
  // Sends a key press and release as the platform would, with its native
  // key state and key code.
  static void sendKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers,
                      quint32 nativeState, quint32 keyCode = 0);
  QPlainTextEdit& editor(const char* name) const;
  void openTraditional(const std::vector<QmEntry>& entries);
  void doubleClickRow(int row);

  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
