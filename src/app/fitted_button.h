#pragma once

#include <QPushButton>

namespace sorvane {

// A push button as wide as its caption needs, not the style's minimum
// width for dialog buttons: "..." and "->" stay small, and a row of
// command buttons fits a narrow window.
class FittedButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
};

}  // namespace sorvane
