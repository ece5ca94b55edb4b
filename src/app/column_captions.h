#pragma once

#include <QWidget>

#include <utility>
#include <vector>

class QLabel;

namespace sorvane {

class StringListView;

// The row of caption labels that heads the string list's columns (the list
// has no header of its own). Each caption starts where its column's text
// starts and is never wider than its column, so captions can't overlap;
// the row asks for enough width that every caption fits with a five-digit
// text length after it.
class ColumnCaptions : public QWidget {
 public:
  ColumnCaptions(const StringListView& list, QWidget* parent);

  // The captions to show and the list column each one heads.
  void setColumns(std::vector<std::pair<QLabel*, int>> captions);
  // Moves the captions over their columns; after the columns changed.
  void placeCaptions();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int roomFor(const QLabel& caption) const;

  const StringListView& list_;
  std::vector<std::pair<QLabel*, int>> captions_;
};

}  // namespace sorvane
