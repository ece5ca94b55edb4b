#include "app/string_list_model.h"

#include "app/qt_text.h"
#include "controller/window_controller.h"
#include "session/string_list_layout.h"

namespace sorvane {

StringListModel::StringListModel(WindowController& controller, QObject* parent)
    : QAbstractTableModel(parent), controller_(controller) {
  controller_.addObserver(*this);
}

StringListModel::~StringListModel() { controller_.removeObserver(*this); }

int StringListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : controller_.view().size();
}

int StringListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QString StringListModel::cellText(int row, int column) const {
  const Session& session = controller_.session();
  if (column == 0) return toQString(rowNumberText(row, session.rowCount()));
  const bool traditional = session.mode() == SessionMode::traditional;
  switch (column) {
    case 1:
      return toQString(traditional ? session.rowOriginalText(row)
                                   : session.rowOldOriginalText(row));
    case 2:
      return toQString(traditional ? session.rowModText(row) : session.rowOriginalText(row));
    case 3:
      return traditional ? QString() : toQString(session.rowModText(row));
    default:
      return {};
  }
}

int StringListModel::modColumn() const { return sorvane::modColumn(controller_.session().mode()); }

QVariant StringListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int row = controller_.view().rowAt(index.row());
  if (row < 0) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cellText(row, index.column());
    case kRowStateRole:
      return static_cast<int>(controller_.session().rowState(row));
    case kProblemRole:
      return controller_.problems().hasProblems(row);
    case kSeenToRole:
      return controller_.session().mode() == SessionMode::modUpdate &&
             controller_.progress().seenTo(controller_.session(), row);
    default:
      return {};
  }
}

Qt::ItemFlags StringListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void StringListModel::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::rowsAboutToReset) != 0 && !resetting_) {
    resetting_ = true;
    beginResetModel();
  }
  if ((changes & WindowChange::rowsReset) != 0 && resetting_) {
    resetting_ = false;
    endResetModel();
  }
  const int rows = controller_.view().size();
  if ((changes & WindowChange::texts) != 0 && !resetting_ && rows > 0) {
    emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
  }
}

}  // namespace sorvane
