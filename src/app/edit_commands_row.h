#pragma once

#include <QWidget>

namespace sorvane {

class CommandButtons;

// Undo, Redo and "Change same" for the edits, and at the right the folder
// search and the debug translation.
class EditCommandsRow : public QWidget {
 public:
  EditCommandsRow(CommandButtons& buttons, QWidget* parent);
};

}  // namespace sorvane
