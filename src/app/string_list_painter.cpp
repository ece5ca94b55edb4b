#include "app/string_list_painter.h"

#include "app/qt_text.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "session/string_list_layout.h"

#include <QPainter>

namespace sorvane {

namespace {

QColor colourOf(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// A text is drawn on one line; a line break in it shows as a mark, so a
// text of several lines is told from one of one.
QString oneLine(QString text) {
  for (QChar& unit : text) {
    if (unit == QLatin1Char('\n')) {
      unit = QChar(0x23CE);
    } else if (unit == QLatin1Char('\r')) {
      unit = QLatin1Char(' ');
    }
  }
  return text;
}

}  // namespace

StringListPainter::StringListPainter(StringListView& view)
    : QStyledItemDelegate(&view), view_(view) {}

void StringListPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const auto state = static_cast<RowState>(index.data(StringListModel::kRowStateRole).toInt());
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QColor background = colourOf(rowBackground(state, selected, view_.listHasFocus()));

  // A column owns the pixels from one right of its left edge to its right
  // edge; its bottom pixel row and the first pixel column of the next
  // column carry the silver grid. Each column draws the grid line at its own
  // left edge, after the view has filled a selected row's background.
  const QRect& column = option.rect;
  const int columnRight = column.left() + column.width();
  const int bottom = column.top() + column.height() - 1;
  const QRect cell(column.left() + 1, column.top(), column.width() - 1, column.height() - 1);

  painter->save();
  painter->fillRect(cell, background);
  painter->setPen(colourOf(kGridColour));
  painter->drawLine(column.left(), bottom, columnRight - 1, bottom);
  if (index.column() > 0) painter->drawLine(column.left(), column.top(), column.left(), bottom);

  const QFontMetrics metrics(option.font);
  const QString text = oneLine(index.data(Qt::DisplayRole).toString());
  const std::u16string shown = elideText(
      text.toStdU16String(), cell.width() - 4,
      [&metrics](std::u16string_view part) { return metrics.horizontalAdvance(toQString(part)); });
  painter->setClipRect(cell);
  // A row the checks found a problem in: a red corner on its Mod cell.
  const auto& model = static_cast<const StringListModel&>(*index.model());
  if (index.column() == model.modColumn() && index.data(StringListModel::kProblemRole).toBool()) {
    const int side = std::max(5, cell.height() / 3);
    const QPoint corner(cell.right() + 1, cell.top());
    const QPoint points[3] = {corner, corner - QPoint(side, 0), corner + QPoint(0, side)};
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0xD0, 0x20, 0x20));
    painter->drawPolygon(points, 3);
  }
  // A coloured row that was seen to: a green bar at the start of its Mod
  // cell, beside its colour.
  if (index.column() == model.modColumn() && index.data(StringListModel::kSeenToRole).toBool()) {
    painter->fillRect(QRect(cell.left(), cell.top(), 2, cell.height()), QColor(0x20, 0x90, 0x30));
  }
  painter->setPen(Qt::black);
  painter->setFont(option.font);
  painter->drawText(QRect(cell.left() + 2, cell.top(), cell.width() - 2, cell.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, toQString(shown));
  painter->restore();
}

}  // namespace sorvane
