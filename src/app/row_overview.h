#pragma once

#include "session/row_problems.h"
#include "session/row_states.h"
#include "session/session.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <vector>

namespace sorvane {

class ColumnCaptions;
class DialogServices;
class InfoPanel;
class ModUpdateLegend;
class StringListModel;
class StringListView;

// What the window tells about the rows: the legend's counts, the checks'
// problems (kept current as Mod texts are stored), the selected row's
// sections, problems, change and lengths in the info panel and the
// captions; and the walks to the next row of a colour or with a problem.
class RowOverview : public QObject {
  Q_OBJECT

 public:
  struct Parts {
    StringListView& list;
    StringListModel& model;
    ModUpdateLegend& legend;
    InfoPanel& infoPanel;
    ColumnCaptions& captions;
  };
  RowOverview(const Session& session, DialogServices& dialogs, const Parts& parts, QObject* parent);

  // Selects the nearest row in the state (any coloured one without) or
  // with a problem; a beep when there is none.
  void selectRowInState(std::optional<RowState> state, bool backward);
  void selectProblemRow(bool backward);
  // The info panel and the captions, for the selected row in the mode.
  void showSelectedRow(SessionMode mode);
  void updateLegend();

 signals:
  void modTextsChanged();

 private:
  // The checks after Mod texts were stored: the rows stored alone, or all
  // rows after a change of many.
  void recheckRows();
  void checkAllRows();

  const Session& session_;
  DialogServices& dialogs_;
  Parts parts_;
  RowProblems problems_;
  std::vector<std::int32_t> storedRows_;
};

}  // namespace sorvane
