#include "app/command_buttons.h"

#include "app/fitted_button.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"

#include <QCheckBox>
#include <QRadioButton>

namespace sorvane {

CommandButtons::CommandButtons(WindowController& controller, QObject* parent)
    : QObject(parent), controller_(controller) {
  controller_.addObserver(*this);
}

CommandButtons::~CommandButtons() { controller_.removeObserver(*this); }

QAbstractButton* CommandButtons::make(CommandId id, QWidget* parent) {
  const CommandInfo& info = commandInfo(id);
  QAbstractButton* button = nullptr;
  switch (info.kind) {
    case ButtonKind::push: {
      auto* push = new FittedButton(parent);
      push->setAutoDefault(false);
      button = push;
      break;
    }
    case ButtonKind::radio:
      button = new QRadioButton(parent);
      break;
    case ButtonKind::check:
      button = new QCheckBox(parent);
      break;
  }
  button->setObjectName(QString::fromLatin1(info.controlName));
  button->setText(toQString(info.caption));
  button->setToolTip(toQString(commandTooltip(info)));
  connect(button, &QAbstractButton::clicked, this, [this, id] { controller_.run(id); });
  // A button that goes before the binder no longer takes its state.
  connect(button, &QObject::destroyed, this, [this, button] {
    std::erase_if(buttons_, [button](const auto& b) { return b.first == button; });
  });
  buttons_.emplace_back(button, id);
  refresh(controller_.state());
  return button;
}

std::vector<QAbstractButton*> CommandButtons::makePart(CommandPart part, QWidget* parent) {
  std::vector<QAbstractButton*> made;
  for (const CommandInfo& info : commandTable()) {
    if (info.part == part) made.push_back(make(info.id, parent));
  }
  return made;
}

void CommandButtons::windowChanged(WindowChanges /*changes*/) { refresh(controller_.state()); }

void CommandButtons::refresh(const WindowState& state) {
  for (const auto& [button, id] : buttons_) {
    const CommandInfo& info = commandInfo(id);
    button->setEnabled(info.enabled(state));
    if (info.checked == nullptr) continue;
    const bool checked = info.checked(state);
    // A radio button is unchecked by checking the other one.
    if (checked != button->isChecked() && (checked || info.kind != ButtonKind::radio)) {
      button->setChecked(checked);
    }
  }
}

}  // namespace sorvane
