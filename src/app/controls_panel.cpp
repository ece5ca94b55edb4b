#include "app/controls_panel.h"

#include "app/column_captions.h"
#include "app/command_row.h"
#include "app/edit_commands_row.h"
#include "app/find_row.h"
#include "app/named_widget.h"
#include "app/path_boxes.h"

#include <QVBoxLayout>

namespace sorvane {

ControlsPanel::ControlsPanel(WindowController& controller, CommandButtons& buttons,
                             DialogServices& dialogs, const StringListView& list, QWidget* parent)
    : QWidget(parent),
      pathBoxes_(named<PathBoxes>("PathBoxes", controller, dialogs, this)),
      findRow_(nullptr),
      captions_(nullptr) {
  // Made in the order the Tab key visits them.
  auto* commandRow = named<CommandRow>("CommandRow", buttons, this);
  findRow_ = named<FindRow>("FindRow", controller, buttons, this);
  auto* editRow = named<EditCommandsRow>("EditCommandsRow", buttons, this);
  captions_ = named<ColumnCaptions>("ColumnCaptions", controller, list, this);
  auto* rows = new QVBoxLayout;
  for (QWidget* part : std::initializer_list<QWidget*>{pathBoxes_, commandRow, findRow_, editRow}) {
    rows->addWidget(part);
  }
  auto* panelLayout = new QVBoxLayout(this);
  const QMargins margins = panelLayout->contentsMargins();
  rows->setContentsMargins(margins.left(), 0, margins.right(), 0);
  panelLayout->setContentsMargins(0, margins.top(), 0, 0);
  panelLayout->addLayout(rows);
  panelLayout->addWidget(captions_);
}

}  // namespace sorvane
