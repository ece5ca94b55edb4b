#pragma once

#include "controller/window_state.h"
#include "session/row_states.h"
#include "session/translation_progress.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace sorvane {

class CommandButtons;
class WindowController;

// The line under the list: in "Mod update" what each row colour means and
// how many rows have it, and in both modes how many rows the checks found
// a problem in. Each entry is a button: a click asks for the next row of
// its kind, a Shift+click for the previous one. Shown while files are open.
class ModUpdateLegend : public QWidget, public WindowObserver {
 public:
  ModUpdateLegend(WindowController& controller, CommandButtons& buttons, QWidget* parent);
  ~ModUpdateLegend() override;

  void windowChanged(WindowChanges changes) override;

 private:
  void setCounts(const std::array<TranslationProgress::ColourProgress, 4>& counts);
  void setProblemCount(int rows);

  WindowController& controller_;
  std::array<QPushButton*, 4> entries_{};
  QWidget* removeDropped_ = nullptr;
  QPushButton* problems_ = nullptr;
};

}  // namespace sorvane
