#pragma once

#include "controller/window_state.h"

#include <QLabel>

namespace sorvane {

class WindowController;

// A line above the list with what the user should know about the open
// files (the controller's notice), without a box to close; hidden until
// there is something to say.
class NoticeBar : public QLabel, public WindowObserver {
 public:
  NoticeBar(WindowController& controller, QWidget* parent);
  ~NoticeBar() override;

  void windowChanged(WindowChanges changes) override;

 private:
  WindowController& controller_;
};

}  // namespace sorvane
