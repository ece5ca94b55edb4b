#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace sorvane {

class MainWindow;

// The program-wide keyboard and focus handling: one event filter on the
// application that sees every event of the program's own windows before they
// handle it. It runs the keyboard accelerators, ends an unfinished row edit
// when the user clicks or moves the focus elsewhere, and tracks whether the
// string list has the focus. It only routes: the actions are the window's.
class MessageHook : public QObject {
 public:
  explicit MessageHook(MainWindow& window);
  ~MessageHook() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool isOwnWindow(const QWidget* window) const;
  bool handleKey(QWidget* target, const QKeyEvent& key);
  bool handleCtrlLetter(QWidget* target, int key);
  bool handleSearchWindowKey(QWidget* target, const QKeyEvent& key);
  bool handleEnterOrEscape(QWidget* target, int key);
  bool handleKeyDown(QWidget* target, const QKeyEvent& key, bool noModifiers);

  MainWindow& window_;
};

}  // namespace sorvane
