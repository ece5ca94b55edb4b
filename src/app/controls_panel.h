#pragma once

#include <QWidget>

namespace sorvane {

class ColumnCaptions;
class CommandRow;
class DialogServices;
class EditRow;
class FindRow;
class PathBoxes;
class StringListView;

// The controls above the list, which Ctrl+T hides: the path boxes, the
// command row, the find row and the edit row, and under them the column
// captions, which span the whole width as the list does.
class ControlsPanel : public QWidget {
 public:
  ControlsPanel(DialogServices& dialogs, const StringListView& list, QWidget* parent);

  PathBoxes& pathBoxes() const { return *pathBoxes_; }
  CommandRow& commandRow() const { return *commandRow_; }
  FindRow& findRow() const { return *findRow_; }
  EditRow& editRow() const { return *editRow_; }
  ColumnCaptions& captions() const { return *captions_; }

 private:
  PathBoxes* pathBoxes_;
  CommandRow* commandRow_;
  FindRow* findRow_;
  EditRow* editRow_;
  ColumnCaptions* captions_;
};

}  // namespace sorvane
