#pragma once

#include "session/session.h"

#include <QTableView>

#include <array>

namespace sorvane {

class StringListModel;

// The string list: one line per row of the session, drawn by the program
// (colours by row state, silver grid, texts cut with "..."), without header,
// with one full-row selection that stays visible without the focus.
class StringListView : public QTableView {
  Q_OBJECT

 public:
  explicit StringListView(StringListModel& model, QWidget* parent = nullptr);

  // True while the list has the keyboard focus (kept by the message hook);
  // a selected row is drawn in its stronger colour then.
  bool listHasFocus() const { return listHasFocus_; }
  void setListHasFocus(bool focused);

  void applyColumnWidths(const std::array<int, 4>& widths);
  // The width of two spaces, the largest row number and two more spaces in
  // the list's font; 10 without rows.
  int rowNumberWidth() const;

  // The selected row, or -1.
  int selectedRow() const;
  // Selects the row and brings it into view; with centred, a row out of
  // sight comes to the middle of the list (as a found row does).
  void selectRow(int row, bool centred = false);

  // Sets the list font and fits the row height to it.
  void setListFont(const QFont& font);

 signals:
  void rowDoubleClicked(int row);
  void scrolled();
  void selectedRowChanged();
  void resized();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  StringListModel& model_;
  bool listHasFocus_ = false;
};

}  // namespace sorvane
