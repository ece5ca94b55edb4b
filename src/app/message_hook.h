#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace sorvane {

class WindowCommands;

// The program-wide keyboard and focus handling: one event filter on the
// application that sees every event of the program's own windows before they
// handle it. It runs the keys of the key table, ends an unfinished row edit
// when the user clicks or moves the focus elsewhere, and tracks whether the
// string list has the focus. It only routes: the actions are the window's.
class MessageHook : public QObject {
 public:
  explicit MessageHook(WindowCommands& window);
  ~MessageHook() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool handleKey(QWidget* target, const QKeyEvent& key);

  WindowCommands& window_;
};

}  // namespace sorvane
