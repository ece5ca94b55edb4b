#include "app/row_overview.h"

#include "app/column_captions.h"
#include "app/info_panel.h"
#include "app/mod_update_legend.h"
#include "app/qt_text.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "platform/dialog_services.h"
#include "platform/text_codec.h"
#include "widetext/word_diff.h"

namespace sorvane {

RowOverview::RowOverview(const Session& session, DialogServices& dialogs, const Parts& parts,
                         QObject* parent)
    : QObject(parent), session_(session), dialogs_(dialogs), parts_(parts) {
  parts_.model.setProblems(&problems_);
  connect(&parts_.model, &StringListModel::rowStored, this,
          [this](int row) { storedRows_.push_back(row); });
  connect(&parts_.model, &StringListModel::modTextChanged, this, [this] {
    recheckRows();
    updateLegend();
    emit modTextsChanged();
  });
  connect(&parts_.model, &StringListModel::modelReset, this, [this] {
    checkAllRows();
    updateLegend();
  });
  connect(&parts_.legend, &ModUpdateLegend::rowOfStateRequested, this,
          [this](RowState state, bool backward) { selectRowInState(state, backward); });
  connect(&parts_.legend, &ModUpdateLegend::problemRowRequested, this,
          &RowOverview::selectProblemRow);
}

void RowOverview::checkAllRows() {
  storedRows_.clear();
  if (session_.isOpen()) {
    problems_.checkAll(session_);
  } else {
    problems_.clear();
  }
}

void RowOverview::recheckRows() {
  if (!session_.isOpen()) return;
  // Many rows at once (Change same, an import) are checked afresh: each
  // row's re-check reads its context.
  constexpr std::size_t kRowsRecheckedAlone = 256;
  if (storedRows_.empty() || storedRows_.size() > kRowsRecheckedAlone) {
    checkAllRows();
    return;
  }
  for (const std::int32_t row : storedRows_) problems_.recheckRow(session_, row);
  storedRows_.clear();
}

void RowOverview::updateLegend() {
  const bool modUpdate = session_.isOpen() && session_.mode() == SessionMode::modUpdate;
  if (modUpdate) parts_.legend.setCounts(countRowStates(session_));
  parts_.legend.showStates(modUpdate);
  parts_.legend.setProblemCount(problems_.rowsWithProblems());
  parts_.legend.setVisible(session_.isOpen());
}

void RowOverview::selectRowInState(std::optional<RowState> state, bool backward) {
  const std::optional<std::int32_t> row =
      nearestRowInState(session_, parts_.list.selectedRow(), state, backward);
  if (!row) {
    dialogs_.beep();
    return;
  }
  parts_.list.selectRow(*row);
}

void RowOverview::selectProblemRow(bool backward) {
  const std::optional<std::int32_t> row = problems_.nextRow(parts_.list.selectedRow(), backward);
  if (!row) {
    dialogs_.beep();
    return;
  }
  parts_.list.selectRow(*row, true);
}

void RowOverview::showSelectedRow(SessionMode mode) {
  const int row = parts_.list.selectedRow();
  std::optional<ColumnCaptions::Lengths> lengths;
  if (row >= 0 && parts_.list.currentIndex().row() == row) {
    QStringList problems;
    for (const Problem& problem : problems_.problemsOf(row)) problems << toQString(problem.message);
    const QString change = session_.rowState(row) == RowState::changed
                               ? toQString(markedWordDiff(session_.rowOldOriginalText(row),
                                                          session_.rowOriginalText(row)))
                               : QString();
    parts_.infoPanel.showRow(toQString(fromLocal8Bit(session_.rowSectionText(row))),
                             toQString(fromLocal8Bit(session_.rowSubsectionText(row))),
                             toQString(fromLocal8Bit(session_.rowComment(row))),
                             session_.rowForm(row) + 1, session_.rowFormCount(row), problems,
                             change);
    lengths = {session_.rowOldOriginalText(row).size(), session_.rowOriginalText(row).size(),
               session_.rowModText(row).size()};
  } else {
    parts_.infoPanel.clearRow();
  }
  parts_.captions.showCaptions(mode, lengths);
}

}  // namespace sorvane
