#pragma once

#include <QWidget>

namespace sorvane {

class CommandButtons;

// The mode ("Traditional" or "Mod update") and, at the right, the commands
// on the files: Open, Save, Export and Close.
class CommandRow : public QWidget {
 public:
  CommandRow(CommandButtons& buttons, QWidget* parent);
};

}  // namespace sorvane
