#include "app/main_window.h"

#include "app/click_filter.h"
#include "app/column_captions.h"
#include "app/command_buttons.h"
#include "app/controls_panel.h"
#include "app/debug_id_dialog.h"
#include "app/export_dialog.h"
#include "app/file_drops.h"
#include "app/filter_bar.h"
#include "app/find_row.h"
#include "app/info_panel.h"
#include "app/input_router.h"
#include "app/memory_import.h"
#include "app/mod_update_legend.h"
#include "app/named_widget.h"
#include "app/notice_bar.h"
#include "app/path_boxes.h"
#include "app/qt_text.h"
#include "app/replace_dialog.h"
#include "app/row_editors.h"
#include "app/search_window.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "app/suggestions_panel.h"
#include "controller/translation_assistant.h"
#include "session/mod_file_saving.h"
#include "session/string_list_layout.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace sorvane {

MainWindow::MainWindow(DialogServices& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), controller_(dialogs) {
  setObjectName(QStringLiteral("MainWindow"));
  // A lookup done on the memory's thread is taken on this one.
  assistant_ = std::make_unique<TranslationAssistant>(
      controller_, TranslationMemory::defaultPath(),
      [this] { QMetaObject::invokeMethod(this, "deliverSuggestions", Qt::QueuedConnection); });
  buildParts();
  searchWindow_ = std::make_unique<SearchWindow>(controller_, dialogs_);
  giveHandlers();
  inputRouter_ = std::make_unique<InputRouter>(
      controller_,
      InputRouter::Windows{
          *this, *searchWindow_, [this](const QWidget& widget) { return keyTargetOf(widget); },
          [this](const QObject& object) { return rowEditors_->isEditor(&object); }});
  // Work the controller does a slice at a time while the window is idle.
  backgroundWork_ = new QTimer(this);
  backgroundWork_->setInterval(0);
  connect(backgroundWork_, &QTimer::timeout, this, [this] {
    constexpr std::chrono::milliseconds kSlice{12};
    if (!controller_.runBackgroundWork(kSlice)) backgroundWork_->stop();
  });
  controller_.addObserver(*this);
  // The layout keeps the window at least as large as its controls need.
  resize(406, 355);
  applyListFont();
  MainWindow::windowChanged(WindowChange::controls | WindowChange::mode);
}

MainWindow::~MainWindow() {
  controller_.removeObserver(*this);
  // The memory's threads end first: nothing is delivered to the parts now.
  assistant_->setChangedHandler({});
  assistant_.reset();
  // The router first, then the parts, which show the controller's session
  // (a member that would otherwise go before the QWidget base deletes them).
  inputRouter_.reset();
  qDeleteAll(findChildren<QObject*>(Qt::FindDirectChildrenOnly));
}

void MainWindow::buildParts() {
  buttons_ = new CommandButtons(controller_, this);
  auto* infoPanel = named<InfoPanel>("InfoPanel", controller_, this);
  auto* model = new StringListModel(controller_);
  stringList_ = named<StringListView>("StringListView", *model, controller_, this);
  model->setParent(stringList_);
  rowEditors_ = new RowEditors(controller_, *stringList_);
  controlsPanel_ =
      named<ControlsPanel>("ControlsPanel", controller_, *buttons_, dialogs_, *stringList_, this);
  pathBoxes_ = &controlsPanel_->pathBoxes();
  findRow_ = &controlsPanel_->findRow();

  showPanelStrip_ = named<QWidget>("ShowPanelStrip", this);
  auto* stripLabel =
      named<QLabel>("ShowPanelLabel", QStringLiteral("Click here to show panel"), showPanelStrip_);
  stripLabel->setAlignment(Qt::AlignCenter);
  (new QVBoxLayout(showPanelStrip_))->addWidget(stripLabel);
  showPanelStrip_->layout()->setContentsMargins(0, 0, 0, 0);
  showPanelStrip_->hide();
  new ClickFilter(*stripLabel, [this] { controller_.run(CommandId::toggleControlsPanel); });
  auto* legend = named<ModUpdateLegend>("ModUpdateLegend", controller_, *buttons_, this);
  auto* noticeBar = named<NoticeBar>("NoticeBar", controller_, this);
  filterBar_ = named<FilterBar>("FilterBar", controller_, *buttons_, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The window is never smaller than its controls need.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  for (QWidget* part : std::initializer_list<QWidget*>{controlsPanel_, showPanelStrip_, noticeBar,
                                                       filterBar_, stringList_, legend}) {
    layout->addWidget(part, part == stringList_ ? 1 : 0);
  }
  // The suggestions beside the info panel.
  suggestionsPanel_ = named<SuggestionsPanel>("SuggestionsPanel", *assistant_, *buttons_, this);
  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(0);
  bottom->addWidget(infoPanel, 3);
  bottom->addWidget(suggestionsPanel_, 2);
  suggestionsPanel_->hide();
  layout->addLayout(bottom);

  connect(findRow_, &FindRow::listFontChanged, this, &MainWindow::applyListFont);
  connect(stringList_, &StringListView::resized, this, &MainWindow::layoutColumns);
  connect(rowEditors_, &RowEditors::modifiedCaptionChanged, &controlsPanel_->captions(),
          &ColumnCaptions::showModCaption);
  new FileDrops(
      *this, [this] { return !controller_.session().isOpen(); },
      [this](const QStringList& files, QWidget* under) {
        // Three files are the old original, the new original and the Mod.
        if (files.size() == 3) controller_.chooseMode(SessionMode::modUpdate);
        pathBoxes_->placeDroppedFiles(files, controller_.chosenMode(), under);
      });
}

void MainWindow::deliverSuggestions() {
  if (assistant_) assistant_->deliver();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeSuggestionsPanel();
}

void MainWindow::placeSuggestionsPanel() {
  constexpr int kInfoPanelRoom = 600;
  const int panel = std::max(suggestionsPanel_->minimumSizeHint().width(), width() * 2 / 5);
  suggestionsPanel_->setVisible(width() - panel >= kInfoPanelRoom);
}

void MainWindow::giveHandlers() {
  controller_.setHandler(CommandId::addToMemory,
                         [this] { addToMemory(controller_, *assistant_, false, this); });
  controller_.setHandler(CommandId::addFolderToMemory,
                         [this] { addToMemory(controller_, *assistant_, true, this); });
  controller_.setHandler(CommandId::exportTexts, [this] {
    ExportDialog dialog(controller_.session(), dialogs_, controller_.paths(), this);
    dialog.exec();
  });
  controller_.setHandler(CommandId::replaceTexts, [this] {
    ReplaceDialog dialog(controller_, this);
    dialog.exec();
  });
  controller_.setHandler(CommandId::makeDebugQm, [this] {
    makeDebugQmFile(controller_.session(), controller_.paths(), dialogs_, this);
  });
  controller_.setHandler(CommandId::showSearchWindow, [this] {
    searchWindow_->show();
    searchWindow_->raise();
    searchWindow_->activateWindow();
  });
  controller_.setHandler(CommandId::toggleControlsPanel, [this] {
    controlsPanel_->setVisible(!controlsPanel_->isVisible());
    showPanelStrip_->setVisible(!showPanelStrip_->isVisible());
  });
}

KeyTarget MainWindow::keyTargetOf(const QWidget& widget) const {
  if (&widget == stringList_) return KeyTarget::list;
  if (rowEditors_->isEditor(&widget)) {
    if (&widget == &rowEditors_->newOriginalEditor()) return KeyTarget::newOriginalEditor;
    if (&widget == &rowEditors_->oldOriginalEditor()) return KeyTarget::oldOriginalEditor;
    return KeyTarget::modEditor;
  }
  if (pathBoxes_->isPathBox(&widget)) return KeyTarget::pathBox;
  if (findRow_->isFindBox(&widget)) return KeyTarget::findBox;
  if (&widget == &searchWindow_->resultsList()) return KeyTarget::searchResults;
  if (searchWindow_->isSearchBox(&widget)) return KeyTarget::searchBox;
  return KeyTarget::other;
}

void MainWindow::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::controls) != 0) {
    // The title names the Mod file, with the desktop's mark for unsaved
    // changes.
    setWindowFilePath(toQString(controller_.modFilePath()));
    setWindowTitle(toQString(controller_.title()));
    setWindowModified(controller_.state().modified);
  }
  if ((changes & (WindowChange::rowsReset | WindowChange::mode)) != 0) layoutColumns();
  if (controller_.backgroundWorkPending() && !backgroundWork_->isActive()) {
    backgroundWork_->start();
  }
  if ((changes & WindowChange::focus) != 0) {
    const std::optional<FocusTarget> focus = controller_.focusRequest();
    if (focus == FocusTarget::list) stringList_->setFocus();
    if (focus == FocusTarget::findBox) findRow_->focusFindBox();
  }
}

void MainWindow::openPaths(SessionMode mode, const SessionPaths& paths) {
  controller_.chooseMode(mode);
  controller_.setPaths(paths);
  controller_.openFiles();
}

void MainWindow::applyListFont() {
  const QFont font = findRow_->listFont(stringList_->font());
  stringList_->setListFont(font);
  rowEditors_->setEditorFont(font);
  layoutColumns();
}

void MainWindow::layoutColumns() {
  // The editors are laid out over the columns: a text typed in them is
  // stored before the columns move.
  controller_.endEditing(true);
  const ColumnLayout layout = computeColumnLayout(
      controller_.state().mode, stringList_->viewport()->width(), stringList_->rowNumberWidth());
  stringList_->applyColumnWidths(layout.widths);
  controlsPanel_->captions().placeCaptions();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A typed text counts among the changes to save.
  controller_.endEditing(true);
  if (!askToSaveChanges(controller_.session(), controller_.paths(), dialogs_)) {
    event->ignore();
    return;
  }
  controller_.session().resetSession();
  saveSettings();
  // The program ends with its main window: the search window goes too,
  // and a search running meanwhile stops.
  searchWindow_->stopAndHide();
  event->accept();
}

}  // namespace sorvane
