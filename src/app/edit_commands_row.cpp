#include "app/edit_commands_row.h"

#include "app/command_buttons.h"

#include <QAbstractButton>
#include <QHBoxLayout>

namespace sorvane {

EditCommandsRow::EditCommandsRow(CommandButtons& buttons, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QAbstractButton* button : buttons.makePart(CommandPart::editButtons, this)) {
    layout->addWidget(button);
  }
  layout->addStretch(1);
  for (QAbstractButton* button : buttons.makePart(CommandPart::toolButtons, this)) {
    layout->addWidget(button);
  }
}

}  // namespace sorvane
