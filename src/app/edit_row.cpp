#include "app/edit_row.h"

#include "app/fitted_button.h"
#include "app/named_widget.h"

#include <QCheckBox>
#include <QHBoxLayout>

namespace sorvane {

EditRow::EditRow(QWidget* parent) : QWidget(parent) {
  undoButton_ = named<FittedButton>("UndoButton", QStringLiteral("Undo"), this);
  redoButton_ = named<FittedButton>("RedoButton", QStringLiteral("Redo"), this);
  changeSameCheck_ = named<QCheckBox>("ChangeSameCheck", QStringLiteral("C&hange same"), this);
  searchFolderButton_ =
      named<FittedButton>("SearchFolderButton", QStringLiteral("Search in &folder"), this);
  debugQmButton_ = named<FittedButton>("DebugQmButton", QStringLiteral("Make \"debug\" QM"), this);
  for (QPushButton* button : {undoButton_, redoButton_, searchFolderButton_, debugQmButton_}) {
    button->setAutoDefault(false);
  }
  for (QPushButton* button : {undoButton_, redoButton_, debugQmButton_}) button->setEnabled(false);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(undoButton_);
  layout->addWidget(redoButton_);
  layout->addWidget(changeSameCheck_);
  layout->addStretch(1);
  layout->addWidget(searchFolderButton_);
  layout->addWidget(debugQmButton_);

  connect(undoButton_, &QPushButton::clicked, this, &EditRow::undoClicked);
  connect(redoButton_, &QPushButton::clicked, this, &EditRow::redoClicked);
  connect(searchFolderButton_, &QPushButton::clicked, this, &EditRow::searchFolderClicked);
  connect(debugQmButton_, &QPushButton::clicked, this, &EditRow::debugQmClicked);
}

void EditRow::applyStates(const ControlStates& states) {
  undoButton_->setEnabled(states.undo);
  redoButton_->setEnabled(states.redo);
  changeSameCheck_->setEnabled(states.changeSame);
  debugQmButton_->setEnabled(states.debugQm);
}

bool EditRow::changeSame() const { return changeSameCheck_->isChecked(); }

void EditRow::toggleChangeSame() {
  if (changeSameCheck_->isEnabled()) changeSameCheck_->toggle();
}

bool EditRow::canUndo() const { return undoButton_->isEnabled(); }
bool EditRow::canRedo() const { return redoButton_->isEnabled(); }

}  // namespace sorvane
