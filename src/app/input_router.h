#pragma once

#include "controller/commands.h"

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace sorvane {

class WindowController;

// One event filter on the application that sees every event of the
// program's two windows before they handle it: it runs the keys of the
// command table, and ends an unfinished row edit when the user clicks or
// moves the focus elsewhere. It only routes; the commands are the
// controller's and the parts'.
class InputRouter : public QObject {
 public:
  struct Windows {
    const QWidget& main;
    const QWidget& search;
    // What kind of control a widget is, for the keys' targets.
    std::function<KeyTarget(const QWidget&)> targetOf;
    std::function<bool(const QObject&)> isRowEditor;
  };
  InputRouter(WindowController& controller, Windows windows);
  ~InputRouter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool routeKey(QWidget& target, const QKeyEvent& key);

  WindowController& controller_;
  Windows windows_;
};

}  // namespace sorvane
