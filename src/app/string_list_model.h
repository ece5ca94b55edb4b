#pragma once

#include "controller/window_state.h"

#include <QAbstractTableModel>

namespace sorvane {

class WindowController;

// Shows the rows of the controller's session that its view shows, in the
// view's order, as four columns. It holds no
// texts: every cell is asked of the session when the view needs it.
class StringListModel : public QAbstractTableModel, public WindowObserver {
  Q_OBJECT

 public:
  // The row's state for its colour, as an int of RowState.
  static constexpr int kRowStateRole = Qt::UserRole;
  // Whether the checks found a problem in the row, as a bool.
  static constexpr int kProblemRole = Qt::UserRole + 1;
  // "Mod update": a new or changed row whose Mod text was changed since the
  // files were opened, as a bool.
  static constexpr int kSeenToRole = Qt::UserRole + 2;

  explicit StringListModel(WindowController& controller, QObject* parent = nullptr);
  ~StringListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The text of a cell of a session row: the row number, or a text of the
  // row by the mode.
  QString cellText(int row, int column) const;
  // The column of the Mod texts.
  int modColumn() const;

  void windowChanged(WindowChanges changes) override;

 private:
  WindowController& controller_;
  bool resetting_ = false;
};

}  // namespace sorvane
