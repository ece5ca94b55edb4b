#include "app/main_window.h"

#include "app/click_filter.h"
#include "app/column_captions.h"
#include "app/command_row.h"
#include "app/controls_panel.h"
#include "app/debug_id_dialog.h"
#include "app/edit_row.h"
#include "app/export_dialog.h"
#include "app/file_drops.h"
#include "app/find_row.h"
#include "app/info_panel.h"
#include "app/message_hook.h"
#include "app/mod_update_legend.h"
#include "app/named_widget.h"
#include "app/notice_bar.h"
#include "app/path_boxes.h"
#include "app/qt_text.h"
#include "app/row_editors.h"
#include "app/row_overview.h"
#include "app/search_window.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "platform/dialog_services.h"
#include "platform/paths.h"
#include "session/editing.h"
#include "session/find_in_list.h"
#include "session/mod_file_saving.h"
#include "session/string_list_layout.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace sorvane {

MainWindow::MainWindow(DialogServices& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("MainWindow"));
  buildParts();
  searchWindow_ = std::make_unique<SearchWindow>(dialogs_);
  connectParts();
  messageHook_ = std::make_unique<MessageHook>(*this);
  // The layout keeps the window at least as large as its controls need.
  resize(406, 355);
  applyMode();
  applyListFont();
  applySessionState();
}

MainWindow::~MainWindow() {
  // The hook first, then the parts, which show the session (a member that
  // would otherwise go before the QWidget base deletes them).
  messageHook_.reset();
  qDeleteAll(findChildren<QObject*>(Qt::FindDirectChildrenOnly));
}

void MainWindow::buildParts() {
  infoPanel_ = named<InfoPanel>("InfoPanel", this);
  auto* model = new StringListModel(session_);
  stringList_ = named<StringListView>("StringListView", *model, this);
  model->setParent(stringList_);
  rowEditors_ = new RowEditors(session_, *stringList_);
  controlsPanel_ = named<ControlsPanel>("ControlsPanel", dialogs_, *stringList_, this);
  pathBoxes_ = &controlsPanel_->pathBoxes();
  commandRow_ = &controlsPanel_->commandRow();
  findRow_ = &controlsPanel_->findRow();
  editRow_ = &controlsPanel_->editRow();
  columnCaptions_ = &controlsPanel_->captions();

  showPanelStrip_ = named<QWidget>("ShowPanelStrip", this);
  auto* stripLabel =
      named<QLabel>("ShowPanelLabel", QStringLiteral("Click here to show panel"), showPanelStrip_);
  stripLabel->setAlignment(Qt::AlignCenter);
  (new QVBoxLayout(showPanelStrip_))->addWidget(stripLabel);
  showPanelStrip_->layout()->setContentsMargins(0, 0, 0, 0);
  showPanelStrip_->hide();
  legend_ = named<ModUpdateLegend>("ModUpdateLegend", this);
  legend_->hide();
  noticeBar_ = named<NoticeBar>("NoticeBar", this);
  rowOverview_ = new RowOverview(
      session_, dialogs_, {*stringList_, *model, *legend_, *infoPanel_, *columnCaptions_}, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The window is never smaller than its controls need.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  for (QWidget* part : std::initializer_list<QWidget*>{controlsPanel_, showPanelStrip_, noticeBar_,
                                                       stringList_, legend_, infoPanel_}) {
    layout->addWidget(part, part == stringList_ ? 1 : 0);
  }
}

void MainWindow::connectParts() {
  connect(commandRow_, &CommandRow::modeChosen, this, &MainWindow::applyMode);
  connect(commandRow_, &CommandRow::openClicked, this, &MainWindow::openFiles);
  connect(commandRow_, &CommandRow::saveClicked, this, &MainWindow::saveModFile);
  connect(commandRow_, &CommandRow::exportClicked, this, &MainWindow::exportModTexts);
  connect(commandRow_, &CommandRow::closeClicked, this, &MainWindow::closeFiles);
  connect(findRow_, &FindRow::listFontChanged, this, &MainWindow::applyListFont);
  connect(findRow_, &FindRow::findTextChanged, this, [this] { findRowsFrom(0); });
  connect(findRow_, &FindRow::findNextClicked, this,
          [this] { findRowsFrom(stringList_->selectedRow() + 1); });
  connect(editRow_, &EditRow::undoClicked, this, [this] { undoOrRedo(true); });
  connect(editRow_, &EditRow::redoClicked, this, [this] { undoOrRedo(false); });
  connect(editRow_, &EditRow::searchFolderClicked, this, &MainWindow::showSearchWindow);
  connect(editRow_, &EditRow::debugQmClicked, this,
          [this] { makeDebugQmFile(session_, paths(), dialogs_, this); });
  connect(infoPanel_, &InfoPanel::modLanguageChosen, this, [this](const std::string& code) {
    if (const std::optional<PluralLanguage> language = pluralLanguage(code)) {
      askAndChangeModLanguage(session_, *language, dialogs_);
    }
    applySessionState();
  });
  connect(searchWindow_.get(), &SearchWindow::openResult, this, &MainWindow::openFoundFile);
  new ClickFilter(*showPanelStrip_->findChild<QLabel*>(QStringLiteral("ShowPanelLabel")),
                  [this] { toggleControlsPanel(); });
  new FileDrops(
      *this, [this] { return !session_.isOpen(); },
      [this](const QStringList& files, QWidget* under) {
        // Three files are the old original, the new original and the Mod.
        if (files.size() == 3 && commandRow_->chosenMode() != SessionMode::modUpdate) {
          commandRow_->chooseMode(SessionMode::modUpdate);
          applyMode();
        }
        pathBoxes_->placeDroppedFiles(files, commandRow_->chosenMode(), under);
      });

  auto& model = static_cast<StringListModel&>(*stringList_->model());
  connect(stringList_, &StringListView::selectedRowChanged, this, &MainWindow::showSelectedRowInfo);
  connect(stringList_, &StringListView::resized, this, &MainWindow::layoutColumns);
  connect(stringList_, &StringListView::rowDoubleClicked, rowEditors_, &RowEditors::openEditors);
  connect(rowOverview_, &RowOverview::modTextsChanged, this, [this] {
    showSelectedRowInfo();
    applySessionState();
  });
  connect(&model, &StringListModel::rowsAboutToBeReplaced, this, &MainWindow::cancelEditing);
  connect(&model, &StringListModel::undoLogClearRequested, this, &MainWindow::applySessionState);
  connect(rowEditors_, &RowEditors::modifiedCaptionChanged, columnCaptions_,
          &ColumnCaptions::showModCaption);
  connect(rowEditors_, &RowEditors::committed, this, &MainWindow::applySessionState);
}

SessionPaths MainWindow::paths() const { return pathBoxes_->paths(); }

const QWidget& MainWindow::searchWindowWidget() const { return *searchWindow_; }

void MainWindow::applySessionState() {
  // The title names the Mod file, with the desktop's mark for unsaved
  // changes.
  if (session_.isOpen()) {
    const QString modPath = toQString(paths().mod);
    setWindowFilePath(modPath);
    setWindowTitle(
        QStringLiteral("%1[*] \u2014 Sorvane").arg(toQString(fileNamePart(paths().mod))));
  } else {
    setWindowFilePath({});
    setWindowTitle(QStringLiteral("Sorvane"));
  }
  setWindowModified(session_.isOpen() && session_.modified());
  const ControlStates states = controlStates(session_, commandRow_->chosenMode());
  pathBoxes_->applyStates(states);
  commandRow_->applyStates(states);
  editRow_->applyStates(states);
  infoPanel_->applyStates(states);
  infoPanel_->showModLanguage(session_.isOpen() ? session_.modLanguage() : std::string());
}

void MainWindow::openFiles() {
  SessionPaths paths = pathBoxes_->paths();
  const std::u16string typedMod = paths.mod;
  noticeBar_->hide();
  const bool opened = session_.openSession(commandRow_->chosenMode(), paths, dialogs_);
  // The Mod box shows the name chosen for a new Mod, even when Open failed.
  pathBoxes_->setModPath(paths.mod);
  if (!opened) return;
  // A mistyped Mod path would look as if the translation were gone.
  if (session_.modIsCopyOfOriginal() && !typedMod.empty()) {
    noticeBar_->showNotice(toQString(typedMod) + QStringLiteral(" does not exist: the Mod starts "
                                                                "as a copy of the Original"));
  }
  applySessionState();
  layoutColumns();
  stringList_->setFocus();
  stringList_->selectRow(0);
}

bool MainWindow::closeFiles() {
  if (!session_.closeSession(paths(), dialogs_)) return false;
  noticeBar_->hide();
  applySessionState();
  applyMode();
  stringList_->setFocus();
  return true;
}

void MainWindow::saveModFile() {
  writeModFile(session_, paths(), dialogs_);
  applySessionState();
}

void MainWindow::openPaths(SessionMode mode, const SessionPaths& paths) {
  commandRow_->chooseMode(mode);
  applyMode();
  pathBoxes_->setPaths(paths);
  openFiles();
}

void MainWindow::openFoundFile(const QString& path) {
  if (commandRow_->canClose() && !closeFiles()) return;
  SessionPaths found = paths();
  found.newOriginal = toU16String(path);
  found.mod.clear();
  openPaths(SessionMode::traditional, found);
  // Like any change of the find box, the text starts a find from the top.
  findRow_->setFindText(searchWindow_->searchText());
}

void MainWindow::exportModTexts() {
  ExportDialog dialog(session_, dialogs_, paths().mod, this);
  connect(&dialog, &ExportDialog::imported, this, [this] {
    applySessionState();
    showSelectedRowInfo();
  });
  dialog.exec();
}

void MainWindow::applyMode() {
  pathBoxes_->showMode(commandRow_->chosenMode());
  applySessionState();
  showSelectedRowInfo();
  layoutColumns();
}

void MainWindow::applyListFont() {
  const QFont font = findRow_->listFont(stringList_->font());
  stringList_->setListFont(font);
  rowEditors_->setEditorFont(font);
  layoutColumns();
}

void MainWindow::layoutColumns() {
  rowEditors_->endEditing(false);
  const ColumnLayout layout = computeColumnLayout(
      commandRow_->chosenMode(), stringList_->viewport()->width(), stringList_->rowNumberWidth());
  stringList_->applyColumnWidths(layout.widths);
  columnCaptions_->placeCaptions();
}

void MainWindow::showSelectedRowInfo() { rowOverview_->showSelectedRow(commandRow_->chosenMode()); }

void MainWindow::findRowsFrom(int start) {
  const std::u16string text = toU16String(findRow_->findText());
  bool wrapped = false;
  const std::optional<std::int32_t> row = findFrom(session_, start, text, [this, &wrapped] {
    wrapped = true;
    dialogs_.beep();
  });
  using Result = FindRow::FindResult;
  findRow_->showFindResult(text.empty() || !session_.isOpen() ? Result::none
                           : !row                             ? Result::notFound
                           : wrapped                          ? Result::wrapped
                                                              : Result::found);
  // The found row is selected and brought into view, to the middle when it
  // was out of sight; the keyboard focus stays where it is, so typing goes
  // on.
  if (row) stringList_->selectRow(*row, true);
}

void MainWindow::undoOrRedo(bool undoing) {
  const std::optional<std::int32_t> row = undoing ? undo(session_) : redo(session_);
  if (!row) return;
  // A change of the Mod's language laid the rows out anew: nothing to
  // bring into view. Any other row becomes the list's current row; the
  // keyboard focus stays where it is, so an open edit stays open.
  if (*row >= 0) rowEditors_->scrollWithoutClosing([this, row] { stringList_->selectRow(*row); });
  applySessionState();
  showSelectedRowInfo();
}

void MainWindow::showSearchWindow() {
  searchWindow_->show();
  searchWindow_->raise();
  searchWindow_->activateWindow();
}

void MainWindow::toggleControlsPanel() {
  controlsPanel_->setVisible(!controlsPanel_->isVisible());
  showPanelStrip_->setVisible(!showPanelStrip_->isVisible());
}

void MainWindow::cancelEditing() {
  if (rowEditors_ != nullptr) rowEditors_->endEditing(false);
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

}  // namespace sorvane
