// The commands of the key table, as the main window runs them.

#include "app/command_row.h"
#include "app/edit_row.h"
#include "app/find_row.h"
#include "app/main_window.h"
#include "app/path_boxes.h"
#include "app/row_editors.h"
#include "app/row_overview.h"
#include "app/search_window.h"
#include "app/string_list_view.h"
#include "session/editing.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>

namespace sorvane {

bool MainWindow::runCommand(Command command, QWidget* target) {
  const bool inEditor = rowEditors_->isEditor(target);
  const bool editing = inEditor && rowEditors_->shown();
  const bool active = QApplication::activeWindow() == this;
  switch (command) {
    case Command::showSearchWindow:
      showSearchWindow();
      return true;
    case Command::toggleSubdirectories:
      searchWindow_->subdirectoriesCheck().toggle();
      return true;
    case Command::openSearchResult:
      if (target == &searchWindow_->resultsList()) {
        searchWindow_->openSelectedResult();
      } else if (searchWindow_->isSearchBox(target)) {
        if (searchWindow_->canSearch()) searchWindow_->searchOrStop();
      } else {
        return false;
      }
      return true;
    case Command::save:
      if (commandRow_->canSave()) saveModFile();
      return true;
    case Command::exportTexts:
      if (commandRow_->canExport()) exportModTexts();
      return true;
    case Command::findNext:
      // F3 in the Mod editor is the editor's.
      if (target == &rowEditors_->modifiedEditor()) return false;
      findRowsFrom(stringList_->selectedRow() + 1);
      return true;
    case Command::nextColouredRow:
    case Command::previousColouredRow:
      // Not while a row is being edited.
      if (!inEditor && session_.isOpen() && session_.mode() == SessionMode::modUpdate) {
        rowOverview_->selectRowInState(std::nullopt, command == Command::previousColouredRow);
      }
      return true;
    case Command::focusFindBox:
      findRow_->focusFindBox();
      return true;
    case Command::toggleChangeSame:
      editRow_->toggleChangeSame();
      return true;
    case Command::focusList:
      if (!inEditor) stringList_->setFocus();
      return true;
    case Command::keepForSearch:
      return true;
    case Command::toggleControlsPanel:
      toggleControlsPanel();
      return true;
    case Command::openFiles:
      if (commandRow_->canOpen()) openFiles();
      return true;
    case Command::closeFiles:
      if (commandRow_->canClose()) closeFiles();
      return true;
    case Command::redo:
      if (editRow_->canRedo()) undoOrRedo(false);
      return true;
    case Command::undo: {
      // Ctrl+Z in a text box is the box's own.
      const QWidget* focus = QApplication::focusWidget();
      const bool inTextBox = focus == &rowEditors_->modifiedEditor() ||
                             findRow_->isFindBox(focus) || pathBoxes_->isPathBox(focus);
      if (active && !inTextBox && editRow_->canUndo()) undoOrRedo(true);
      return true;
    }
    case Command::enter:
      if (!active) return true;
      if (pathBoxes_->isPathBox(target)) {
        if (commandRow_->canOpen()) openFiles();
      } else if (findRow_->isFindBox(target)) {
        findRowsFrom(stringList_->selectedRow() + 1);
      } else if (target == stringList_) {
        rowEditors_->openEditors(stringList_->selectedRow());
      } else if (editing) {
        rowEditors_->endEditing(true, editRow_->changeSame());
      } else {
        return false;
      }
      return true;
    case Command::escape:
      if (editing) cancelEditing();
      return true;
    case Command::editRow:
      if (target == stringList_) rowEditors_->openEditors(stringList_->selectedRow());
      return false;
    case Command::deleteRowText:
      if (target == stringList_ && commandRow_->chosenMode() == SessionMode::modUpdate &&
          deleteRowText(session_, stringList_->selectedRow())) {
        applySessionState();
      }
      return false;
    case Command::toModEditor:
      if (target != &rowEditors_->newOriginalEditor() || !rowEditors_->shown()) return false;
      rowEditors_->modifiedEditor().setFocus(Qt::TabFocusReason);
      return true;
    case Command::toOriginalEditor:
      if (target != &rowEditors_->modifiedEditor() || !rowEditors_->shown()) return false;
      rowEditors_->newOriginalEditor().setFocus(Qt::BacktabFocusReason);
      return true;
    case Command::nextProblemRow:
    case Command::previousProblemRow:
      if (!inEditor) rowOverview_->selectProblemRow(command == Command::previousProblemRow);
      return true;
    case Command::copyOriginal:
      // A new row starts from the original's text.
      if (!rowEditors_->shown()) rowEditors_->openEditors(stringList_->selectedRow());
      if (rowEditors_->shown()) rowEditors_->copyOriginalText();
      return true;
  }
  return false;
}

}  // namespace sorvane
