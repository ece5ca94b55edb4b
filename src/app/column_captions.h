#pragma once

#include "controller/window_state.h"
#include "session/session.h"

#include <QWidget>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

class QLabel;

namespace sorvane {

class StringListView;
class WindowController;

// The row of caption labels that heads the string list's columns (the list
// has no header of its own). Each caption starts where its column's text
// starts and is never wider than its column, so captions can't overlap;
// the row asks for enough width that every caption fits with a five-digit
// text length after it. The lengths are the selected row's.
class ColumnCaptions : public QWidget, public WindowObserver {
 public:
  ColumnCaptions(WindowController& controller, const StringListView& list, QWidget* parent);
  ~ColumnCaptions() override;

  void windowChanged(WindowChanges changes) override;

  // The text lengths of a row's cells, shown after the captions.
  struct Lengths {
    std::size_t oldOriginal = 0;
    std::size_t newOriginal = 0;
    std::size_t mod = 0;
  };

  // The captions of the mode ("Original String" and "Modified String", or
  // with "Old Original String" before them in "Mod update"), over the
  // list's columns; with lengths, the selected row's.
  void showCaptions(SessionMode mode, std::optional<Lengths> lengths);
  // The Mod caption alone, as the row editors count what is typed.
  void showModCaption(const QString& caption);
  // Moves the captions over their columns; after the columns changed.
  void placeCaptions();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int roomFor(const QLabel& caption) const;

  WindowController& controller_;
  const StringListView& list_;
  QLabel* oldOriginalCaption_;
  QLabel* newOriginalCaption_;
  QLabel* modifiedCaption_;
  // The captions shown and the list column each one heads.
  std::vector<std::pair<QLabel*, int>> captions_;
};

}  // namespace sorvane
