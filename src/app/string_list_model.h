#pragma once

#include "session/row_problems.h"
#include "session/session.h"

#include <QAbstractTableModel>

namespace sorvane {

// Shows the rows of a Session as four columns. It holds no texts: every
// cell is asked of the session when the view needs it.
class StringListModel : public QAbstractTableModel, public SessionListener {
  Q_OBJECT

 public:
  // The row's state for its colour, as an int of RowState.
  static constexpr int kRowStateRole = Qt::UserRole;
  // Whether the checks found a problem in the row, as a bool.
  static constexpr int kProblemRole = Qt::UserRole + 1;

  // The checks' results, which the rows show with a mark.
  void setProblems(const RowProblems* problems) { problems_ = problems; }

  explicit StringListModel(Session& session, QObject* parent = nullptr);
  ~StringListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The text of a cell: the row number, or a text of the row by the mode.
  QString cellText(int row, int column) const;
  // The column of the Mod texts.
  int modColumn() const;

 signals:
  // The session's rows are about to be replaced: editing must end unsaved.
  void rowsAboutToBeReplaced();
  void undoLogClearRequested();
  // A row's Mod text was stored; first, for each row stored alone,
  // rowStored.
  void modTextChanged();
  void rowStored(int row);

 private:
  void rowsAboutToReset() override;
  void rowsReset() override;
  void rowTextsChanged() override;
  void rowTextStored(std::int32_t row) override;
  void undoLogCleared() override;

  Session& session_;
  const RowProblems* problems_ = nullptr;
};

}  // namespace sorvane
