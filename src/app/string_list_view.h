#pragma once

#include "controller/window_state.h"

#include <QTableView>

#include <array>

namespace sorvane {

class StringListModel;
class WindowController;

// The string list: one line per row of the session, drawn by the program
// (colours by row state, silver grid, texts cut with "..."), without header,
// with one full-row selection that stays visible without the focus. The
// selection is the controller's: the list tells it what the user selects
// and selects what a command asks for.
class StringListView : public QTableView, public WindowObserver {
  Q_OBJECT

 public:
  StringListView(StringListModel& model, WindowController& controller, QWidget* parent = nullptr);
  ~StringListView() override;

  // True while the list has the keyboard focus; a selected row is drawn in
  // its stronger colour then.
  bool listHasFocus() const { return listHasFocus_; }
  // The list sets it as it gains and loses the focus.
  void setListHasFocus(bool focused);

  void applyColumnWidths(const std::array<int, 4>& widths);
  // The width of two spaces, the largest row number and two more spaces in
  // the list's font; 10 without rows.
  int rowNumberWidth() const;

  // Rows are the session's: with a filter or another order, the list's
  // line of a row is another number.
  // The selected row, or -1.
  int selectedRow() const;
  // The model index of a row's first cell; invalid when it is not shown.
  QModelIndex indexOfRow(int row) const;
  // Selects the row and brings it into view; with centred, a row out of
  // sight comes to the middle of the list (as a found row does).
  void selectRow(int row, bool centred = false);

  // Sets the list font and fits the row height to it.
  void setListFont(const QFont& font);

  void windowChanged(WindowChanges changes) override;

 signals:
  void scrolled();
  void resized();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void tellSelectedRow();

  StringListModel& model_;
  WindowController& controller_;
  bool listHasFocus_ = false;
};

}  // namespace sorvane
