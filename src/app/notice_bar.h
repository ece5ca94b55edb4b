#pragma once

#include <QLabel>

namespace sorvane {

// A line above the list with what the user should know about the open
// files, without a box to close; hidden until there is something to say.
class NoticeBar : public QLabel {
 public:
  explicit NoticeBar(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setStyleSheet(QStringLiteral(
        "QLabel { background: #FFF4C0; color: #000000; border-bottom: 1px solid #C8B060; "
        "padding: 4px 8px; }"));
    hide();
  }

  void showNotice(const QString& text) {
    setText(text);
    show();
  }
};

}  // namespace sorvane
