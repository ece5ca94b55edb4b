#include "app/elided_label.h"

#include <QFontMetrics>

namespace sorvane {

void ElidedLabel::setFullText(const QString& text) {
  fullText_ = text;
  setToolTip(text);
  elide();
}

QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  elide();
}

void ElidedLabel::elide() {
  QString shown = fullText_;
  shown.replace(QLatin1Char('\n'), QChar(0x23CE));
  setText(fontMetrics().elidedText(shown, Qt::ElideRight, std::max(0, contentsRect().width())));
}

}  // namespace sorvane
