#include "app/command_row.h"

#include "app/fitted_button.h"
#include "app/named_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace sorvane {

CommandRow::CommandRow(QWidget* parent) : QWidget(parent) {
  auto* modeLabel = named<QLabel>("ModeLabel", QStringLiteral("Mode:"), this);
  traditionalRadio_ = named<QRadioButton>("TraditionalRadio", QStringLiteral("Traditional"), this);
  traditionalRadio_->setChecked(true);
  modUpdateRadio_ = named<QRadioButton>("ModUpdateRadio", QStringLiteral("Mod update"), this);
  openButton_ = named<FittedButton>("OpenButton", QStringLiteral("Open"), this);
  saveButton_ = named<FittedButton>("SaveButton", QStringLiteral("&Save"), this);
  exportButton_ = named<FittedButton>("ExportButton", QStringLiteral("&Export"), this);
  closeButton_ = named<FittedButton>("CloseButton", QStringLiteral("Close"), this);
  for (QPushButton* button : {openButton_, saveButton_, exportButton_, closeButton_}) {
    button->setAutoDefault(false);
  }
  for (QPushButton* button : {saveButton_, exportButton_, closeButton_}) {
    button->setEnabled(false);
  }

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{modeLabel, traditionalRadio_, modUpdateRadio_}) {
    layout->addWidget(widget);
  }
  layout->addStretch(1);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{openButton_, saveButton_, exportButton_, closeButton_}) {
    layout->addWidget(widget);
  }

  connect(traditionalRadio_, &QRadioButton::clicked, this, &CommandRow::modeChosen);
  connect(modUpdateRadio_, &QRadioButton::clicked, this, &CommandRow::modeChosen);
  connect(openButton_, &QPushButton::clicked, this, &CommandRow::openClicked);
  connect(saveButton_, &QPushButton::clicked, this, &CommandRow::saveClicked);
  connect(exportButton_, &QPushButton::clicked, this, &CommandRow::exportClicked);
  connect(closeButton_, &QPushButton::clicked, this, &CommandRow::closeClicked);
}

SessionMode CommandRow::chosenMode() const {
  return modUpdateRadio_->isChecked() ? SessionMode::modUpdate : SessionMode::traditional;
}

void CommandRow::chooseMode(SessionMode mode) {
  (mode == SessionMode::modUpdate ? modUpdateRadio_ : traditionalRadio_)->setChecked(true);
}

void CommandRow::applyStates(const ControlStates& states) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{traditionalRadio_, modUpdateRadio_, openButton_}) {
    control->setEnabled(states.chooseMode);
  }
  saveButton_->setEnabled(states.save);
  exportButton_->setEnabled(states.exportTexts);
  closeButton_->setEnabled(states.close);
}

bool CommandRow::canOpen() const { return openButton_->isEnabled(); }
bool CommandRow::canSave() const { return saveButton_->isEnabled(); }
bool CommandRow::canExport() const { return exportButton_->isEnabled(); }
bool CommandRow::canClose() const { return closeButton_->isEnabled(); }

}  // namespace sorvane
