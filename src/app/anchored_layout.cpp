#include "app/anchored_layout.h"

#include <QEvent>

namespace sorvane {

AnchoredLayout::AnchoredLayout(QWidget& panel, int designWidth)
    : QObject(&panel), panel_(panel), designWidth_(designWidth) {
  panel_.installEventFilter(this);
}

void AnchoredLayout::place(QWidget* child, QRect designGeometry, Anchor anchor) {
  placements_.push_back({child, designGeometry, anchor});
  apply(placements_.back());
}

void AnchoredLayout::setHorizontalSpan(QWidget* child, int x, int width) {
  for (Placement& placement : placements_) {
    if (placement.child == child) {
      placement.design.moveLeft(x);
      placement.design.setWidth(width);
      apply(placement);
    }
  }
}

void AnchoredLayout::apply(const Placement& placement) const {
  QRect geometry = placement.design;
  const int growth = panel_.width() - designWidth_;
  switch (placement.anchor) {
    case Anchor::left:
      break;
    case Anchor::right:
      geometry.translate(growth, 0);
      break;
    case Anchor::stretched:
      geometry.setWidth(std::max(0, geometry.width() + growth));
      break;
  }
  placement.child->setGeometry(geometry);
}

bool AnchoredLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &panel_ && event->type() == QEvent::Resize) {
    for (const Placement& placement : placements_) apply(placement);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace sorvane
