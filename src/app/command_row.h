#pragma once

#include "session/control_states.h"
#include "session/session.h"

#include <QWidget>

class QPushButton;
class QRadioButton;

namespace sorvane {

// The mode ("Traditional" or "Mod update") and, at the right, the commands
// on the files: Open, Save, Export and Close.
class CommandRow : public QWidget {
  Q_OBJECT

 public:
  explicit CommandRow(QWidget* parent);

  SessionMode chosenMode() const;
  void chooseMode(SessionMode mode);
  void applyStates(const ControlStates& states);

  bool canOpen() const;
  bool canSave() const;
  bool canExport() const;
  bool canClose() const;

 signals:
  void modeChosen();
  void openClicked();
  void saveClicked();
  void exportClicked();
  void closeClicked();

 private:
  QRadioButton* traditionalRadio_;
  QRadioButton* modUpdateRadio_;
  QPushButton* openButton_;
  QPushButton* saveButton_;
  QPushButton* exportButton_;
  QPushButton* closeButton_;
};

}  // namespace sorvane
