#include "app/column_captions.h"

#include "app/named_widget.h"
#include "app/string_list_view.h"
#include "controller/window_controller.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace sorvane {

namespace {

// Where a cell's text starts inside its column.
constexpr int kCellTextInset = 3;

}  // namespace

ColumnCaptions::ColumnCaptions(WindowController& controller, const StringListView& list,
                               QWidget* parent)
    : QWidget(parent), controller_(controller), list_(list) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  oldOriginalCaption_ =
      named<QLabel>("OldOriginalCaption", QStringLiteral("Old Original String"), this);
  newOriginalCaption_ =
      named<QLabel>("NewOriginalCaption", QStringLiteral("New Original String"), this);
  modifiedCaption_ = named<QLabel>("ModifiedCaption", QStringLiteral("Modified String"), this);
  controller_.addObserver(*this);
  ColumnCaptions::windowChanged(WindowChange::mode);
}

ColumnCaptions::~ColumnCaptions() { controller_.removeObserver(*this); }

void ColumnCaptions::windowChanged(WindowChanges changes) {
  if ((changes & (WindowChange::selection | WindowChange::texts | WindowChange::rowsReset |
                  WindowChange::mode)) == 0) {
    return;
  }
  std::optional<Lengths> lengths;
  if (const std::optional<RowInfo> info = controller_.selectedRowInfo()) {
    lengths = Lengths{info->oldOriginalLength, info->originalLength, info->modLength};
  }
  showCaptions(controller_.state().mode, lengths);
}

void ColumnCaptions::showCaptions(SessionMode mode, std::optional<Lengths> lengths) {
  const bool modUpdate = mode == SessionMode::modUpdate;
  const auto caption = [&lengths](const char* text, std::size_t Lengths::*length) {
    QString shown = QString::fromLatin1(text);
    if (lengths) shown += QStringLiteral(" (%1)").arg((*lengths).*length);
    return shown;
  };
  oldOriginalCaption_->setText(caption("Old Original String", &Lengths::oldOriginal));
  newOriginalCaption_->setText(
      caption(modUpdate ? "New Original String" : "Original String", &Lengths::newOriginal));
  modifiedCaption_->setText(caption("Modified String", &Lengths::mod));
  oldOriginalCaption_->setVisible(modUpdate);
  if (modUpdate) {
    captions_ = {{oldOriginalCaption_, 1}, {newOriginalCaption_, 2}, {modifiedCaption_, 3}};
  } else {
    captions_ = {{newOriginalCaption_, 1}, {modifiedCaption_, 2}};
  }
  updateGeometry();
  placeCaptions();
}

void ColumnCaptions::showModCaption(const QString& caption) { modifiedCaption_->setText(caption); }

void ColumnCaptions::placeCaptions() {
  const QWidget* viewport = list_.viewport();
  const int offset =
      viewport->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
  for (const auto& [caption, column] : captions_) {
    const int left = offset + list_.columnViewportPosition(column) + kCellTextInset;
    const int width = std::max(0, list_.columnWidth(column) - kCellTextInset);
    caption->setGeometry(left, 0, width, height());
  }
}

int ColumnCaptions::roomFor(const QLabel& caption) const {
  // A text length may follow the caption: room for five digits.
  const QString text = caption.text();
  const qsizetype length = text.lastIndexOf(QStringLiteral(" ("));
  const QFontMetrics metrics = caption.fontMetrics();
  const int shown = length < 0 ? 0 : metrics.horizontalAdvance(text.mid(length));
  return caption.sizeHint().width() - shown +
         metrics.horizontalAdvance(QStringLiteral(" (99999)")) + kCellTextInset;
}

QSize ColumnCaptions::sizeHint() const { return minimumSizeHint(); }

QSize ColumnCaptions::minimumSizeHint() const {
  int widest = 0;
  int height = fontMetrics().height();
  for (const auto& [caption, column] : captions_) {
    widest = std::max(widest, roomFor(*caption));
    height = std::max(height, caption->sizeHint().height());
  }
  // The columns share the list's width after the row numbers (none in Mod update),
  // the list's frame and its scroll bar.
  const int rowNumbers = list_.columnWidth(0);
  const int frame = 2 * list_.frameWidth() + list_.verticalScrollBar()->sizeHint().width();
  return {static_cast<int>(captions_.size()) * widest + rowNumbers + frame, height};
}

void ColumnCaptions::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeCaptions();
}

bool ColumnCaptions::event(QEvent* event) {
  // A caption's new text or font may need more room.
  if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::FontChange) {
    updateGeometry();
  }
  return QWidget::event(event);
}

}  // namespace sorvane
