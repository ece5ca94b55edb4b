#pragma once

#include <QStyledItemDelegate>

namespace sorvane {

class StringListView;

// Draws the cells of the string list: the row's background colour, the
// silver grid and the text on one line, cut with "..." to the cell.
class StringListPainter : public QStyledItemDelegate {
 public:
  explicit StringListPainter(StringListView& view);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  StringListView& view_;
};

}  // namespace sorvane
