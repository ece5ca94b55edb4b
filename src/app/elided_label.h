#pragma once

#include <QLabel>

namespace sorvane {

// A one-line label that cuts a text too long for it with "…" and shows the
// whole text in its tooltip; it never asks for more width than it has.
class ElidedLabel : public QLabel {
 public:
  using QLabel::QLabel;

  void setFullText(const QString& text);
  QString fullText() const { return fullText_; }

  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void elide();

  QString fullText_;
};

}  // namespace sorvane
