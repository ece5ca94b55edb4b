#pragma once

#include "session/control_states.h"

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace sorvane {

// Undo, Redo and "Change same" for the edits, and at the right the folder
// search and the debug translation.
class EditRow : public QWidget {
  Q_OBJECT

 public:
  explicit EditRow(QWidget* parent);

  void applyStates(const ControlStates& states);
  bool changeSame() const;
  // Ctrl+H: toggles "Change same" while it takes input.
  void toggleChangeSame();
  bool canUndo() const;
  bool canRedo() const;

 signals:
  void undoClicked();
  void redoClicked();
  void searchFolderClicked();
  void debugQmClicked();

 private:
  QPushButton* undoButton_;
  QPushButton* redoButton_;
  QCheckBox* changeSameCheck_;
  QPushButton* searchFolderButton_;
  QPushButton* debugQmButton_;
};

}  // namespace sorvane
