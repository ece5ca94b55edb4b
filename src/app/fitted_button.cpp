#include "app/fitted_button.h"

#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace sorvane {

QSize FittedButton::sizeHint() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) +
                           style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this));
  const int height = QPushButton::sizeHint().height();
  return {std::max(textSize.width() + margins, height), height};
}

}  // namespace sorvane
