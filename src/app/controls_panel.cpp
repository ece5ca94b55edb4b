#include "app/controls_panel.h"

#include "app/column_captions.h"
#include "app/command_row.h"
#include "app/edit_row.h"
#include "app/find_row.h"
#include "app/named_widget.h"
#include "app/path_boxes.h"

#include <QVBoxLayout>

namespace sorvane {

ControlsPanel::ControlsPanel(DialogServices& dialogs, const StringListView& list, QWidget* parent)
    : QWidget(parent),
      pathBoxes_(named<PathBoxes>("PathBoxes", dialogs, this)),
      commandRow_(named<CommandRow>("CommandRow", this)),
      findRow_(named<FindRow>("FindRow", this)),
      editRow_(named<EditRow>("EditRow", this)),
      captions_(named<ColumnCaptions>("ColumnCaptions", list, this)) {
  auto* rows = new QVBoxLayout;
  for (QWidget* part :
       std::initializer_list<QWidget*>{pathBoxes_, commandRow_, findRow_, editRow_}) {
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
