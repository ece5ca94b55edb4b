#include "app/notice_bar.h"

#include "app/qt_text.h"
#include "controller/window_controller.h"

namespace sorvane {

NoticeBar::NoticeBar(WindowController& controller, QWidget* parent)
    : QLabel(parent), controller_(controller) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setStyleSheet(QStringLiteral(
      "QLabel { background: #FFF4C0; color: #000000; border-bottom: 1px solid #C8B060; "
      "padding: 4px 8px; }"));
  hide();
  controller_.addObserver(*this);
}

NoticeBar::~NoticeBar() { controller_.removeObserver(*this); }

void NoticeBar::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::controls) == 0) return;
  const QString notice = toQString(controller_.notice());
  if (notice != text()) setText(notice);
  setVisible(!notice.isEmpty());
}

}  // namespace sorvane
