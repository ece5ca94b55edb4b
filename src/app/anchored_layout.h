#pragma once

#include <QObject>
#include <QRect>
#include <QWidget>

#include <vector>

namespace sorvane {

// Places child widgets at fixed design coordinates inside a panel and keeps
// them anchored when the panel is resized: left-anchored children stay
// where they are, right-anchored ones keep their distance to the right
// edge, stretched ones keep both distances.
class AnchoredLayout : public QObject {
 public:
  enum class Anchor { left, right, stretched };

  // designWidth is the panel's width that the coordinates were made for.
  AnchoredLayout(QWidget& panel, int designWidth);

  void place(QWidget* child, QRect designGeometry, Anchor anchor);
  // Gives a left-anchored child a new left edge and width (its design place
  // changes).
  void setHorizontalSpan(QWidget* child, int x, int width);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Placement {
    QWidget* child;
    QRect design;
    Anchor anchor;
  };
  void apply(const Placement& placement) const;

  QWidget& panel_;
  int designWidth_;
  std::vector<Placement> placements_;
};

}  // namespace sorvane
