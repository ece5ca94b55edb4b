#include "app/search_window.h"

#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"
#include "platform/dialog_services.h"
#include "platform/paths.h"
#include "search/folder_search.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace sorvane {

namespace {

constexpr int kResponsiveMs = 100;

}  // namespace

SearchWindow::SearchWindow(WindowController& controller, DialogServices& dialogs)
    : controller_(controller), dialogs_(dialogs) {
  setObjectName(QStringLiteral("SearchWindow"));
  setWindowTitle(QStringLiteral("Sorvane: Search"));

  auto* folderLabel = named<QLabel>("FolderLabel", QStringLiteral("Folder:"));
  folderEdit_ = named<QLineEdit>("FolderEdit");
  auto* browseButton = named<QPushButton>("FolderBrowse", QStringLiteral("..."));
  searchButton_ = named<QPushButton>("SearchButton", QStringLiteral("Search"));
  searchButton_->setEnabled(false);
  auto* stringLabel = named<QLabel>("StringLabel", QStringLiteral("String:"));
  stringEdit_ = named<QLineEdit>("StringEdit");
  auto* cancelButton = named<QPushButton>("CancelButton", QStringLiteral("Cancel"));
  subdirectoriesCheck_ = named<QCheckBox>("SubdirectoriesCheck", QStringLiteral("Subdi&rectories"));
  subdirectoriesCheck_->setChecked(true);
  resultsList_ = named<QListWidget>("ResultsList");
  resultsList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  statusText_ = named<QLabel>("StatusText");
  statusText_->setTextFormat(Qt::PlainText);

  // The boxes stretch, the buttons keep to the
  // right edge, the list fills the rest above the status line.
  auto* top = new QGridLayout;
  top->addWidget(folderLabel, 0, 0);
  top->addWidget(folderEdit_, 0, 1);
  top->addWidget(browseButton, 0, 2);
  top->addWidget(searchButton_, 0, 3);
  top->addWidget(stringLabel, 1, 0);
  top->addWidget(stringEdit_, 1, 1, 1, 2);
  top->addWidget(cancelButton, 1, 3);
  top->addWidget(subdirectoriesCheck_, 2, 0, 1, 3);
  top->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(resultsList_, 1);
  layout->addWidget(statusText_);
  // The window is never smaller than its controls need.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  resize(406, 274);

  connect(folderEdit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { searchButton_->setEnabled(!text.isEmpty()); });
  connect(browseButton, &QPushButton::clicked, this, &SearchWindow::browse);
  connect(searchButton_, &QPushButton::clicked, this, &SearchWindow::searchOrStop);
  connect(cancelButton, &QPushButton::clicked, this, &SearchWindow::stopAndHide);
  connect(resultsList_, &QListWidget::itemDoubleClicked, this, &SearchWindow::openSelectedResult);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &SearchWindow::stopAndHide);

  controller_.setHandler(CommandId::toggleSubdirectories,
                         [this] { subdirectoriesCheck_->toggle(); });
  controller_.setHandler(CommandId::openSearchResult, [this] { openSelectedResult(); });
  // Enter in the folder or string box: a search, when one can start.
  controller_.setHandler(CommandId::startSearch, [this] {
    if (searchButton_->isEnabled() && !running_) runSearch();
  });
}

QString SearchWindow::searchText() const { return stringEdit_->text(); }

bool SearchWindow::isSearchBox(const QWidget* widget) const {
  return widget == folderEdit_ || widget == stringEdit_;
}

QString SearchWindow::folderText() const { return folderEdit_->text(); }

void SearchWindow::setFields(const QString& folder, const QString& text, bool recurse) {
  folderEdit_->setText(folder);
  stringEdit_->setText(text);
  subdirectoriesCheck_->setChecked(recurse);
}

void SearchWindow::browse() {
  QString start = folderEdit_->text();
  if (!start.endsWith(QLatin1Char('/'))) start += QLatin1Char('/');
  if (const auto chosen =
          dialogs_.chooseFolder(DialogOwner::folderSearchWindow, toU16String(start))) {
    folderEdit_->setText(toQString(*chosen));
  }
}

void SearchWindow::searchOrStop() {
  if (running_) {
    stopRequested_ = true;
    return;
  }
  runSearch();
}

void SearchWindow::runSearch() {
  stopRequested_ = false;
  running_ = true;
  searchButton_->setText(QStringLiteral("Stop"));
  resultsList_->clear();
  const std::u16string folder = toU16String(folderEdit_->text());
  if (!isFolder(folder)) {
    dialogs_.showMessage(DialogOwner::folderSearchWindow, u"Folder does not exist.",
                         u"Wrong folder", MessageButtons::ok, MessageIcon::exclamation);
    searchButton_->setText(QStringLiteral("Search"));
    running_ = false;
    return;
  }
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  const auto letEventsThrough = [&sinceEvents] {
    QApplication::processEvents();
    sinceEvents.restart();
  };
  const FolderSearchHooks hooks{
      .enteringFolder =
          [&](std::u16string_view path) {
            statusText_->setText(toQString(path));
            letEventsThrough();
          },
      .found =
          [&](std::u16string_view path) {
            resultsList_->addItem(toQString(path));
            letEventsThrough();
          },
      .recurse = [this] { return subdirectoriesCheck_->isChecked(); },
      .searchText = [this] { return toU16String(stringEdit_->text()); },
      .afterEntry =
          [&] {
            if (sinceEvents.elapsed() >= kResponsiveMs) letEventsThrough();
          },
      .stopRequested = [this] { return stopRequested_; },
  };
  const SearchSummary summary = searchFolder(folder, hooks, dialogs_);
  if (summary.outcome == SearchOutcome::completed) {
    dialogs_.beep();
    if (!isActiveWindow()) dialogs_.flashWindow(DialogOwner::folderSearchWindow);
  }
  const QString line = toQString(summaryLine(summary));
  resultsList_->insertItem(0, line);
  statusText_->setText(line);
  searchButton_->setText(QStringLiteral("Search"));
  running_ = false;
}

void SearchWindow::openSelectedResult() {
  const QListWidgetItem* item = resultsList_->currentItem();
  if (item == nullptr || item->text().isEmpty() || item->text().startsWith(QLatin1Char('['))) {
    return;
  }
  controller_.openFoundFile(toU16String(item->text()), toU16String(stringEdit_->text()));
}

void SearchWindow::stopAndHide() {
  if (running_) stopRequested_ = true;
  hide();
}

void SearchWindow::closeEvent(QCloseEvent* event) {
  if (running_) stopRequested_ = true;
  QWidget::closeEvent(event);
}

}  // namespace sorvane
