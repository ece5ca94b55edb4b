#include "app/command_row.h"

#include "app/command_buttons.h"
#include "app/named_widget.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>

namespace sorvane {

CommandRow::CommandRow(CommandButtons& buttons, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(named<QLabel>("ModeLabel", QStringLiteral("Mode:"), this));
  for (QAbstractButton* button : buttons.makePart(CommandPart::modeButtons, this)) {
    layout->addWidget(button);
  }
  layout->addStretch(1);
  for (QAbstractButton* button : buttons.makePart(CommandPart::fileButtons, this)) {
    layout->addWidget(button);
  }
}

}  // namespace sorvane
