#pragma once

#include <QWidget>

namespace sorvane {

class ColumnCaptions;
class CommandButtons;
class CommandRow;
class DialogServices;
class EditCommandsRow;
class FindRow;
class PathBoxes;
class StringListView;
class WindowController;

// The controls above the list, which Ctrl+T hides: the path boxes, the
// command row, the find row and the edit row, and under them the column
// captions, which span the whole width as the list does.
class ControlsPanel : public QWidget {
 public:
  ControlsPanel(WindowController& controller, CommandButtons& buttons, DialogServices& dialogs,
                const StringListView& list, QWidget* parent);

  PathBoxes& pathBoxes() const { return *pathBoxes_; }
  FindRow& findRow() const { return *findRow_; }
  ColumnCaptions& captions() const { return *captions_; }

 private:
  PathBoxes* pathBoxes_;
  FindRow* findRow_;
  ColumnCaptions* captions_;
};

}  // namespace sorvane
