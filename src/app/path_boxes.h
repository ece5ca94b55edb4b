#pragma once

#include "controller/window_state.h"
#include "session/session.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sorvane {

class DialogServices;
class WindowController;

// The three path boxes: the old original ("Mod update" only), the
// original (or new original) and the Mod file, each with its label and a
// "..." button that browses for a file. What they hold is the
// controller's paths, both ways.
class PathBoxes : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  PathBoxes(WindowController& controller, DialogServices& dialogs, QWidget* parent);
  ~PathBoxes() override;

  bool isPathBox(const QWidget* widget) const;
  // At start: the keyboard focus goes to the first empty box that takes a
  // path.
  void focusFirstEmptyBox();

  // Dropped files: one goes to the box under the pointer when it takes a
  // path now (else the original's), two to the original's and the Mod's
  // boxes, three (in "Mod update") to all three.
  void placeDroppedFiles(const QStringList& files, SessionMode mode, const QWidget* under);

  void windowChanged(WindowChanges changes) override;

 private:
  void browse(bool openDialog, QLineEdit* box);
  void tellPaths();

  WindowController& controller_;
  DialogServices& dialogs_;
  QLabel* oldOriginalLabel_;
  QLabel* newOriginalLabel_;
  QLineEdit* oldOriginalEdit_;
  QPushButton* oldOriginalBrowse_;
  QLineEdit* newOriginalEdit_;
  QPushButton* newOriginalBrowse_;
  QLineEdit* modFileEdit_;
  QPushButton* modFileBrowse_;
};

}  // namespace sorvane
