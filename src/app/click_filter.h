#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <functional>

namespace sorvane {

// Calls an action when the watched widget is clicked.
class ClickFilter : public QObject {
 public:
  ClickFilter(QWidget& widget, std::function<void()> action)
      : QObject(&widget), action_(std::move(action)) {
    widget.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) action_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

}  // namespace sorvane
