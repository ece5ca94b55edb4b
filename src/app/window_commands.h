#pragma once

#include "app/key_table.h"

class QWidget;

namespace sorvane {

class RowEditors;
class StringListView;

// What the keyboard hook asks of the main window: to run the commands of
// the key table, and what it watches besides (which windows are the
// program's, the list whose focus it tracks, the row editors whose edit
// ends when the user goes elsewhere).
class WindowCommands {
 public:
  virtual ~WindowCommands() = default;

  // Runs the command of a key sent to target; true when the key is used up
  // (it then reaches no widget). A command whose control is disabled does
  // nothing.
  virtual bool runCommand(Command command, QWidget* target) = 0;

  virtual const QWidget& mainWindow() const = 0;
  virtual const QWidget& searchWindowWidget() const = 0;
  virtual StringListView& stringList() const = 0;
  virtual RowEditors& rowEditors() const = 0;
  virtual void cancelEditing() = 0;
};

}  // namespace sorvane
