#include "app/string_list_model.h"

#include "app/qt_text.h"
#include "session/string_list_layout.h"

namespace sorvane {

StringListModel::StringListModel(Session& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {
  session_.setListener(this);
}

StringListModel::~StringListModel() { session_.setListener(nullptr); }

int StringListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : session_.rowCount();
}

int StringListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QString StringListModel::cellText(int row, int column) const {
  if (column == 0) return toQString(rowNumberText(row, session_.rowCount()));
  const bool traditional = session_.mode() == SessionMode::traditional;
  switch (column) {
    case 1:
      return toQString(traditional ? session_.rowOriginalText(row)
                                   : session_.rowOldOriginalText(row));
    case 2:
      return toQString(traditional ? session_.rowModText(row) : session_.rowOriginalText(row));
    case 3:
      return traditional ? QString() : toQString(session_.rowModText(row));
    default:
      return {};
  }
}

int StringListModel::modColumn() const { return sorvane::modColumn(session_.mode()); }

QVariant StringListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cellText(index.row(), index.column());
    case kRowStateRole:
      return static_cast<int>(session_.rowState(index.row()));
    case kProblemRole:
      return problems_ != nullptr && problems_->hasProblems(index.row());
    default:
      return {};
  }
}

Qt::ItemFlags StringListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void StringListModel::rowsAboutToReset() {
  emit rowsAboutToBeReplaced();
  beginResetModel();
}

void StringListModel::rowsReset() { endResetModel(); }

void StringListModel::rowTextsChanged() {
  if (session_.rowCount() > 0) {
    emit dataChanged(index(0, 0), index(session_.rowCount() - 1, columnCount() - 1));
  }
  emit modTextChanged();
}

void StringListModel::rowTextStored(std::int32_t row) { emit rowStored(row); }

void StringListModel::undoLogCleared() { emit undoLogClearRequested(); }

}  // namespace sorvane
