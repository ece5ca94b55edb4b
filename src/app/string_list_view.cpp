#include "app/string_list_view.h"

#include "app/string_list_model.h"
#include "app/string_list_painter.h"
#include "controller/window_controller.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace sorvane {

StringListView::StringListView(StringListModel& model, WindowController& controller,
                               QWidget* parent)
    : QTableView(parent), model_(model), controller_(controller) {
  setObjectName(QStringLiteral("StringListView"));
  setModel(&model_);
  setItemDelegate(new StringListPainter(*this));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(0);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  for (int column = 0; column < 4; ++column) setColumnWidth(column, 50);
  setShowGrid(false);
  setWordWrap(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTabKeyNavigation(false);
  setCornerButtonEnabled(false);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &StringListView::tellSelectedRow);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          &StringListView::tellSelectedRow);
  setListFont(font());
  controller_.addObserver(*this);
}

StringListView::~StringListView() { controller_.removeObserver(*this); }

void StringListView::tellSelectedRow() {
  // A row counts as selected once it is also the current one.
  const int row = selectedRow();
  const bool current = row >= 0 && controller_.view().rowAt(currentIndex().row()) == row;
  controller_.setSelectedRow(current ? row : -1);
}

void StringListView::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::selection) == 0) return;
  if (const std::optional<RowReveal> reveal = controller_.rowReveal()) {
    selectRow(reveal->row, reveal->centred);
  }
}

void StringListView::focusInEvent(QFocusEvent* event) {
  setListHasFocus(true);
  QTableView::focusInEvent(event);
}

void StringListView::focusOutEvent(QFocusEvent* event) {
  setListHasFocus(false);
  QTableView::focusOutEvent(event);
}

void StringListView::setListHasFocus(bool focused) {
  if (listHasFocus_ == focused) return;
  listHasFocus_ = focused;
  viewport()->update();
}

void StringListView::applyColumnWidths(const std::array<int, 4>& widths) {
  for (int column = 0; column < 4; ++column) {
    setColumnWidth(column, std::max(0, widths[static_cast<std::size_t>(column)]));
  }
  viewport()->update();
}

int StringListView::rowNumberWidth() const {
  // The numbers are the session's rows, also with some rows hidden.
  const int rows = controller_.session().rowCount();
  if (rows == 0) return 10;
  return fontMetrics().horizontalAdvance(QStringLiteral("  %1  ").arg(rows - 1));
}

int StringListView::selectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : controller_.view().rowAt(rows.constFirst().row());
}

QModelIndex StringListView::indexOfRow(int row) const {
  const int position = controller_.view().positionOf(row);
  return position < 0 ? QModelIndex() : model_.index(position, 0);
}

void StringListView::selectRow(int row, bool centred) {
  const QModelIndex index = indexOfRow(row);
  if (!index.isValid()) return;
  const bool inSight = viewport()->rect().contains(visualRect(index));
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index, centred && !inSight ? PositionAtCenter : EnsureVisible);
}

void StringListView::setListFont(const QFont& font) {
  setFont(font);
  // One text line and the grid line below it.
  verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 1);
}

void StringListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) controller_.openEditors(controller_.view().rowAt(index.row()));
}

void StringListView::scrollContentsBy(int dx, int dy) {
  emit scrolled();
  QTableView::scrollContentsBy(dx, dy);
}

void StringListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  emit resized();
}

}  // namespace sorvane
