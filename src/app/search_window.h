#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sorvane {

class DialogServices;
class WindowController;

// "Sorvane: Search": finds the QM files of a folder whose translations hold
// a text. Built once, hidden and shown again; closing only hides it. A
// search runs on the interface thread and lets pending events through on
// entering a folder, after a result and at least every 100 ms, so "Stop"
// and the other windows stay usable. A found file opens in the main
// window; the window's own keys are its commands' handlers.
class SearchWindow : public QWidget {
  Q_OBJECT

 public:
  SearchWindow(WindowController& controller, DialogServices& dialogs);

  bool running() const { return running_; }
  QCheckBox& subdirectoriesCheck() const { return *subdirectoriesCheck_; }
  QListWidget& resultsList() const { return *resultsList_; }
  QString searchText() const;
  // The settings' fields.
  QString folderText() const;
  void setFields(const QString& folder, const QString& text, bool recurse);

  // "Search" (or "Stop" while a search runs).
  void searchOrStop();
  bool isSearchBox(const QWidget* widget) const;
  // Opens the result on the selected line, unless it is the summary.
  void openSelectedResult();
  // Asks a running search to stop and hides the window: "Cancel", Esc,
  // and the main window closing.
  void stopAndHide();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void runSearch();
  void browse();

  WindowController& controller_;
  DialogServices& dialogs_;
  QLineEdit* folderEdit_;
  QLineEdit* stringEdit_;
  QPushButton* searchButton_;
  QCheckBox* subdirectoriesCheck_;
  QListWidget* resultsList_;
  QLabel* statusText_;
  bool running_ = false;
  bool stopRequested_ = false;
};

}  // namespace sorvane
