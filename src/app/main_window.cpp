#include "app/main_window.h"

#include "app/column_captions.h"
#include "app/debug_id_dialog.h"
#include "app/export_dialog.h"
#include "app/message_hook.h"
#include "app/mod_language_box.h"
#include "app/mod_update_legend.h"
#include "app/qt_text.h"
#include "app/row_editors.h"
#include "app/search_window.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/row_states.h"
#include "session/string_list_layout.h"
#include "textio/debug_strings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace sorvane {

namespace {

constexpr std::u16string_view kQmFilter = u"QM Files (*.qm)|*.qm|All files (*.*)|*.*";

}  // namespace

MainWindow::MainWindow(DialogServices& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("Sorvane " SORVANE_VERSION));
  move(464, 121);

  buildControls();
  // Files dropped anywhere on the window, the path boxes included, go to
  // the window, which puts them in the right boxes.
  setAcceptDrops(true);
  for (QLineEdit* box : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_})
    box->setAcceptDrops(false);
  fillFontNames();
  rowEditors_ = new RowEditors(session_, *stringList_);
  searchWindow_ = std::make_unique<SearchWindow>(dialogs_);
  connectControls();
  messageHook_ = new MessageHook(*this);
  // The layout keeps the window at least as large as its controls need.
  resize(406, 355);

  // The stored settings are restored here once they exist; then the mode
  // and the list font are applied as if the user had chosen them.
  applyMode();
  applyListFontName();
  applyListFontSize();
  applySessionState();
}

MainWindow::~MainWindow() {
  delete messageHook_;
  // The children (the list's model, the row editors) refer to the session,
  // a member that goes before the QWidget base would delete them: they go
  // first.
  qDeleteAll(findChildren<QObject*>(Qt::FindDirectChildrenOnly));
}

void MainWindow::connectControls() {
  connect(openButton_, &QPushButton::clicked, this, &MainWindow::openFiles);
  connect(closeButton_, &QPushButton::clicked, this, &MainWindow::closeFiles);
  connect(saveButton_, &QPushButton::clicked, this, &MainWindow::saveModFile);
  connect(traditionalRadio_, &QRadioButton::clicked, this, &MainWindow::applyMode);
  connect(modUpdateRadio_, &QRadioButton::clicked, this, &MainWindow::applyMode);
  connect(oldOriginalBrowse_, &QPushButton::clicked, this,
          [this] { browseForFile(true, oldOriginalEdit_); });
  connect(newOriginalBrowse_, &QPushButton::clicked, this,
          [this] { browseForFile(true, newOriginalEdit_); });
  connect(modFileBrowse_, &QPushButton::clicked, this,
          [this] { browseForFile(false, modFileEdit_); });
  connect(fontNameBox_, &QComboBox::currentIndexChanged, this, &MainWindow::applyListFontName);
  connect(fontSizeBox_, &QComboBox::editTextChanged, this, &MainWindow::applyListFontSize);
  connect(stringList_, &StringListView::selectedRowChanged, this, &MainWindow::showSelectedRowInfo);
  connect(stringList_, &StringListView::resized, this, &MainWindow::layoutColumns);
  connect(model_, &StringListModel::modTextChanged, this, [this] {
    showSelectedRowInfo();
    applySessionState();
    updateLegend();
  });
  connect(model_, &StringListModel::modelReset, this, &MainWindow::updateLegend);
  connect(legend_, &ModUpdateLegend::rowOfStateRequested, this,
          [this](RowState state, bool backward) { selectRowInState(state, backward); });
  connect(model_, &StringListModel::rowsAboutToBeReplaced, this, &MainWindow::cancelEditing);
  connect(model_, &StringListModel::undoLogClearRequested, this, &MainWindow::updateUndoButtons);
  connect(stringList_, &StringListView::rowDoubleClicked, rowEditors_, &RowEditors::openEditors);
  connect(rowEditors_, &RowEditors::modifiedCaptionChanged, modifiedCaption_, &QLabel::setText);
  connect(rowEditors_, &RowEditors::committed, this, &MainWindow::changeStored);
  connect(exportButton_, &QPushButton::clicked, this, &MainWindow::exportModTexts);
  connect(searchFolderButton_, &QPushButton::clicked, this, &MainWindow::showSearchWindow);
  connect(searchWindow_.get(), &SearchWindow::openResult, this, &MainWindow::openFoundFile);
  connect(debugQmButton_, &QPushButton::clicked, this, &MainWindow::makeDebugQm);
  connect(findEdit_, &QLineEdit::textChanged, this, &MainWindow::findTextChanged);
  connect(findNextButton_, &QPushButton::clicked, this, &MainWindow::findNext);
  connect(undoButton_, &QPushButton::clicked, this, &MainWindow::undoChange);
  connect(redoButton_, &QPushButton::clicked, this, &MainWindow::redoChange);
  connect(modLanguageBox_, &ModLanguageBox::languageChosen, this, &MainWindow::changeModLanguageTo);
}

void MainWindow::changeModLanguageTo(const std::string& code) {
  const std::optional<PluralLanguage> language = pluralLanguage(code);
  if (!language || !session_.isOpen()) return;
  if (const std::int32_t dropped = session_.formsDroppedBy(*language); dropped > 0) {
    const MessageAnswer answer = dialogs_.showMessage(
        DialogOwner::mainWindow,
        formatMessage(u"In %s the Mod's plural messages have %d form(s): %d form(s) that hold "
                      u"text would be dropped.\r\nChange the language anyway?",
                      {fromLocal8Bit(code), language->forms, dropped}),
        u"Mod language", MessageButtons::okCancel, MessageIcon::exclamation);
    if (answer != MessageAnswer::ok) {
      modLanguageBox_->showLanguage(session_.modLanguage());
      return;
    }
  }
  changeModLanguage(session_, *language);
  changeStored();
}

SessionPaths MainWindow::paths() const {
  return {toU16String(oldOriginalEdit_->text()), toU16String(newOriginalEdit_->text()),
          toU16String(modFileEdit_->text())};
}

SessionMode MainWindow::checkedMode() const {
  return modUpdateRadio_->isChecked() ? SessionMode::modUpdate : SessionMode::traditional;
}

void MainWindow::setModified(bool modified) {
  session_.setModified(modified);
  applySessionState();
}

void MainWindow::openFiles() {
  SessionPaths paths = this->paths();
  const bool opened = session_.openSession(checkedMode(), paths, dialogs_);
  // The Mod box shows the name chosen for a new Mod, even when Open failed.
  modFileEdit_->setText(toQString(paths.mod));
  if (!opened) return;
  applySessionState();
  layoutColumns();
  stringList_->setFocus();
  stringList_->selectRow(0);
}

bool MainWindow::closeFiles() {
  if (!session_.closeSession(paths(), dialogs_)) return false;
  applySessionState();
  applyMode();
  oldOriginalCaption_->setText(QStringLiteral("Old Original String"));
  modifiedCaption_->setText(QStringLiteral("Modified String"));
  stringList_->setFocus();
  return true;
}

void MainWindow::saveModFile() {
  writeModFile(session_, paths(), dialogs_);
  applySessionState();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!askToSaveChanges(session_, paths(), dialogs_)) {
    event->ignore();
    return;
  }
  session_.resetSession();
  saveSettings();
  // The program ends with its main window: the search window goes too,
  // and a search running meanwhile stops.
  searchWindow_->stopAndHide();
  event->accept();
}

void MainWindow::applySessionState() {
  const bool open = session_.isOpen();
  const bool modUpdate =
      open ? session_.mode() == SessionMode::modUpdate : modUpdateRadio_->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{
           traditionalRadio_, modUpdateRadio_, openButton_, newOriginalEdit_, newOriginalBrowse_}) {
    control->setEnabled(!open);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{oldOriginalEdit_, oldOriginalBrowse_}) {
    control->setEnabled(!open && modUpdate);
  }
  exportButton_->setEnabled(open);
  closeButton_->setEnabled(open);
  debugQmButton_->setEnabled(open && !modUpdate);
  saveButton_->setEnabled(open && session_.modified());
  modLanguageBox_->setEnabled(open);
  modLanguageBox_->showLanguage(open ? session_.modLanguage() : std::string());
}

void MainWindow::applyMode() {
  const bool modUpdate = modUpdateRadio_->isChecked();
  if (!session_.isOpen()) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{oldOriginalLabel_, oldOriginalEdit_, oldOriginalBrowse_}) {
      control->setEnabled(modUpdate);
    }
  } else {
    oldOriginalLabel_->setEnabled(modUpdate);
  }
  newOriginalLabel_->setText(modUpdate ? QStringLiteral("New original file:")
                                       : QStringLiteral("Original file:"));
  oldOriginalCaption_->setVisible(modUpdate);
  if (modUpdate) oldOriginalCaption_->setText(QStringLiteral("Old Original String"));
  newOriginalCaption_->setText(modUpdate ? QStringLiteral("New Original String")
                                         : QStringLiteral("Original String"));
  changeSameCheck_->setEnabled(!modUpdate);
  layoutColumns();
}

void MainWindow::layoutColumns() {
  cancelEditing();
  const ColumnLayout layout = computeColumnLayout(checkedMode(), stringList_->viewport()->width(),
                                                  stringList_->rowNumberWidth());
  stringList_->applyColumnWidths(layout.widths);
  if (checkedMode() == SessionMode::modUpdate) {
    columnCaptions_->setColumns(
        {{oldOriginalCaption_, 1}, {newOriginalCaption_, 2}, {modifiedCaption_, 3}});
  } else {
    columnCaptions_->setColumns({{newOriginalCaption_, 1}, {modifiedCaption_, 2}});
  }
}

void MainWindow::updateLegend() {
  const bool shown = session_.isOpen() && session_.mode() == SessionMode::modUpdate;
  if (shown) legend_->setCounts(countRowStates(session_));
  legend_->setVisible(shown);
}

void MainWindow::selectRowInState(std::optional<RowState> state, bool backward) {
  const std::optional<std::int32_t> row =
      nearestRowInState(session_, stringList_->selectedRow(), state, backward);
  if (!row) {
    dialogs_.beep();
    return;
  }
  stringList_->selectRow(*row);
}

void MainWindow::showSelectedRowInfo() {
  const bool modUpdate = checkedMode() == SessionMode::modUpdate;
  QString oldCaption = QStringLiteral("Old Original String");
  QString newCaption =
      modUpdate ? QStringLiteral("New Original String") : QStringLiteral("Original String");
  QString modCaption = QStringLiteral("Modified String");
  const int row = stringList_->selectedRow();
  const bool current = row >= 0 && stringList_->currentIndex().row() == row;
  if (current) {
    sectionText_->setText(toQString(fromLocal8Bit(session_.rowSectionText(row))));
    const int forms = session_.rowFormCount(row);
    pluralFormText_->setText(
        forms > 1 ? QStringLiteral("Plural form %1 of %2").arg(session_.rowForm(row) + 1).arg(forms)
                  : QString());
    subSectionText_->setText(toQString(fromLocal8Bit(session_.rowSubsectionText(row))));
    auto withLength = [](const QString& caption, std::u16string_view text) {
      return caption + QStringLiteral(" (%1)").arg(text.size());
    };
    if (modUpdate) oldCaption = withLength(oldCaption, session_.rowOldOriginalText(row));
    newCaption = withLength(newCaption, session_.rowOriginalText(row));
    modCaption = withLength(modCaption, session_.rowModText(row));
  } else {
    sectionText_->clear();
    subSectionText_->clear();
    pluralFormText_->clear();
  }
  oldOriginalCaption_->setText(oldCaption);
  newOriginalCaption_->setText(newCaption);
  modifiedCaption_->setText(modCaption);
}

void MainWindow::openEditorsOnSelectedRow() {
  rowEditors_->openEditors(stringList_->selectedRow());
}

void MainWindow::commitEditing() { rowEditors_->endEditing(true, changeSameCheck_->isChecked()); }

void MainWindow::cancelEditing() {
  if (rowEditors_ != nullptr) rowEditors_->endEditing(false);
}

void MainWindow::deleteSelectedRowText() {
  if (deleteRowText(session_, stringList_->selectedRow())) changeStored();
}

void MainWindow::undoChange() {
  if (const std::optional<std::int32_t> row = undo(session_)) showChangedRow(*row);
}

void MainWindow::redoChange() {
  if (const std::optional<std::int32_t> row = redo(session_)) showChangedRow(*row);
}

void MainWindow::showChangedRow(int row) {
  // A change of the Mod's language laid the rows out anew: nothing to
  // bring into view.
  if (row < 0) {
    changeStored();
    return;
  }
  // The row becomes the list's current row; the keyboard focus stays where
  // it is, so an edit open in the row editors stays open.
  rowEditors_->scrollWithoutClosing([this, row] { stringList_->selectRow(row); });
  changeStored();
  modifiedCaption_->setText(modifiedCaptionText(session_.rowModText(row).size()));
}

void MainWindow::changeStored() {
  applySessionState();
  updateUndoButtons();
}

void MainWindow::updateUndoButtons() {
  undoButton_->setEnabled(session_.undoLog().canUndo());
  redoButton_->setEnabled(session_.undoLog().canRedo());
}

void MainWindow::showSearchWindow() {
  searchWindow_->show();
  searchWindow_->raise();
  searchWindow_->activateWindow();
}

void MainWindow::openFoundFile(const QString& path) {
  if (closeButton_->isEnabled() && !closeFiles()) return;
  traditionalRadio_->setChecked(true);
  applyMode();
  newOriginalEdit_->setText(path);
  modFileEdit_->clear();
  openFiles();
  // Like any change of the find box, the text starts a find from the top.
  const QString text = searchWindow_->searchText();
  if (findEdit_->text() == text) {
    findTextChanged();
  } else {
    findEdit_->setText(text);
  }
}

void MainWindow::exportModTexts() {
  ExportDialog dialog(session_, dialogs_, toU16String(modFileEdit_->text()), this);
  connect(&dialog, &ExportDialog::imported, this, [this] {
    changeStored();
    const int row = stringList_->selectedRow();
    modifiedCaption_->setText(modifiedCaptionText(row >= 0 ? session_.rowModText(row).size() : 0));
  });
  dialog.exec();
}

void MainWindow::makeDebugQm() {
  if (session_.mode() != SessionMode::traditional || session_.rowCount() == 0) return;
  DebugIdDialog dialog(toQString(debugIdProposal(toU16String(newOriginalEdit_->text()))), this);
  if (dialog.exec() != QDialog::Accepted) return;
  // The debug translation is a file of its own: the session's texts, its
  // undo log and its modified flag stay as they are.
  const std::u16string proposal = debugFileProposal(toU16String(modFileEdit_->text()));
  const std::optional<std::u16string> path =
      dialogs_.chooseFile(FileDialogKind::save, DialogOwner::mainWindow, kQmFilter,
                          nearestExistingFolder(proposal), fileNamePart(proposal));
  if (!path) return;
  const QmDocument debug = debugDocument(session_, toU16String(dialog.debugId()));
  writeDocumentFile(session_, debug, *path, paths(), dialogs_);
}

void MainWindow::toggleControlsPanel() {
  controlsPanel_->setVisible(!controlsPanel_->isVisible());
  showPanelStrip_->setVisible(!showPanelStrip_->isVisible());
}

void MainWindow::browseForFile(bool openDialog, QLineEdit* box) {
  const std::u16string text = toU16String(box->text());
  const std::optional<std::u16string> chosen = dialogs_.chooseFile(
      openDialog ? FileDialogKind::open : FileDialogKind::save, DialogOwner::mainWindow, kQmFilter,
      nearestExistingFolder(text), fileNamePart(text));
  if (chosen) box->setText(toQString(*chosen));
}

}  // namespace sorvane
