// The window's operations for the keyboard, the command line and dropped
// files.

#include "app/main_window.h"
#include "app/qt_text.h"
#include "platform/dialog_services.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace sorvane {

namespace {

// The local files of a drag, when it carries one to three and nothing else.
QStringList droppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  const QList<QUrl> urls = data->urls();
  if (urls.empty() || urls.size() > 3) return files;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) return {};
    files.push_back(url.toLocalFile());
  }
  return files;
}

}  // namespace

void MainWindow::saveFromKeyboard() {
  if (saveButton_->isEnabled()) saveModFile();
}

void MainWindow::exportFromKeyboard() {
  if (exportButton_->isEnabled()) exportModTexts();
}

void MainWindow::undoFromKeyboard() {
  if (undoButton_->isEnabled()) undoChange();
}

void MainWindow::redoFromKeyboard() {
  if (redoButton_->isEnabled()) redoChange();
}

void MainWindow::toggleChangeSame() {
  if (changeSameCheck_->isEnabled()) changeSameCheck_->toggle();
}

void MainWindow::focusFindBox() { findEdit_->setFocus(); }

bool MainWindow::isFindBox(const QWidget* widget) const { return widget == findEdit_; }

bool MainWindow::isTextBox(const QWidget* widget) const {
  return widget != nullptr && (widget == findEdit_ || widget == oldOriginalEdit_ ||
                               widget == newOriginalEdit_ || widget == modFileEdit_);
}

void MainWindow::openPaths(SessionMode mode, const SessionPaths& paths) {
  (mode == SessionMode::modUpdate ? modUpdateRadio_ : traditionalRadio_)->setChecked(true);
  applyMode();
  oldOriginalEdit_->setText(toQString(paths.oldOriginal));
  newOriginalEdit_->setText(toQString(paths.newOriginal));
  modFileEdit_->setText(toQString(paths.mod));
  openFiles();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!session_.isOpen() && !droppedFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList files = droppedFiles(event->mimeData());
  if (session_.isOpen() || files.empty()) return;
  event->acceptProposedAction();
  if (files.size() == 1) {
    // The box under the pointer, when it takes a path now; else the Original.
    QWidget* under = childAt(event->position().toPoint());
    QLineEdit* box = newOriginalEdit_;
    for (QLineEdit* pathBox : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_}) {
      if (under == pathBox && pathBox->isEnabled()) box = pathBox;
    }
    box->setText(files.front());
    return;
  }
  // Three files are the old original, the new original and the Mod.
  if (files.size() == 3 && !modUpdateRadio_->isChecked()) {
    modUpdateRadio_->setChecked(true);
    applyMode();
  }
  QList<QLineEdit*> boxes{newOriginalEdit_, modFileEdit_};
  if (modUpdateRadio_->isChecked()) boxes.prepend(oldOriginalEdit_);
  for (qsizetype i = 0; i < files.size() && i < boxes.size(); ++i) boxes[i]->setText(files[i]);
}

}  // namespace sorvane
