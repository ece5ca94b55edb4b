#pragma once

#include "session/row_states.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace sorvane {

// The line under the list: in "Mod update" what each row colour means and
// how many rows have it, and in both modes how many rows the checks found
// a problem in. Each entry is a button: a click asks for the next row of
// its kind, a Shift+click for the previous one.
class ModUpdateLegend : public QWidget {
  Q_OBJECT

 public:
  explicit ModUpdateLegend(QWidget* parent);

  void setCounts(const RowStateCounts& counts);
  // The colours' entries show in "Mod update" only.
  void showStates(bool shown);
  void setProblemCount(int rows);

 signals:
  void rowOfStateRequested(RowState state, bool backward);
  void problemRowRequested(bool backward);

 private:
  std::array<QPushButton*, 4> entries_{};
  QPushButton* problems_ = nullptr;
};

}  // namespace sorvane
