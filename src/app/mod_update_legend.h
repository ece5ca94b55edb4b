#pragma once

#include "session/row_states.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace sorvane {

// The line under the list in "Mod update" that tells what each row colour
// means and how many rows have it. Each entry is a button: a click asks for
// the next row of its kind, a Shift+click for the previous one.
class ModUpdateLegend : public QWidget {
  Q_OBJECT

 public:
  explicit ModUpdateLegend(QWidget* parent);

  void setCounts(const RowStateCounts& counts);

 signals:
  void rowOfStateRequested(RowState state, bool backward);

 private:
  std::array<QPushButton*, 4> entries_{};
};

}  // namespace sorvane
