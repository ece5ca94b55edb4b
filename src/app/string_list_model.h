#pragma once

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

  explicit StringListModel(Session& session, QObject* parent = nullptr);
  ~StringListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The text of a cell: the row number, or a text of the row by the mode.
  QString cellText(int row, int column) const;

 signals:
  // The session's rows are about to be replaced: editing must end unsaved.
  void rowsAboutToBeReplaced();
  void undoLogClearRequested();
  // A row's Mod text was stored.
  void modTextChanged();

 private:
  void rowsAboutToReset() override;
  void rowsReset() override;
  void rowTextsChanged() override;
  void undoLogCleared() override;

  Session& session_;
};

}  // namespace sorvane
