#pragma once

#include "controller/commands.h"
#include "controller/window_state.h"

#include <QObject>

#include <utility>
#include <vector>

class QAbstractButton;
class QWidget;

namespace sorvane {

class WindowController;

// Makes the buttons of the command table and keeps them in step with it: a
// button takes its object name, caption and tooltip (with its key) from its
// command's row, runs the command when clicked, and is enabled (and, for a
// radio or check button, checked) exactly when the row's rule says so.
class CommandButtons : public QObject, public WindowObserver {
 public:
  explicit CommandButtons(WindowController& controller, QObject* parent = nullptr);
  ~CommandButtons() override;

  QAbstractButton* make(CommandId id, QWidget* parent);
  // The buttons of every command the part shows, in the table's order.
  std::vector<QAbstractButton*> makePart(CommandPart part, QWidget* parent);

  void windowChanged(WindowChanges changes) override;

 private:
  void refresh(const WindowState& state);

  WindowController& controller_;
  std::vector<std::pair<QAbstractButton*, CommandId>> buttons_;
};

}  // namespace sorvane
