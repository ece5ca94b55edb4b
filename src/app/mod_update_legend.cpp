#include "app/mod_update_legend.h"

#include "session/string_list_layout.h"

#include <QApplication>
#include <QColor>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace sorvane {

namespace {

struct LegendEntry {
  RowState state;
  const char* name;
  const char* caption;
  const char* tip;
};

constexpr std::array<LegendEntry, 4> kEntries{{
    {RowState::newString, "LegendNew", "New", "New in the new original: not translated yet"},
    {RowState::dropped, "LegendDropped", "Dropped", "Gone from the new original, still in the Mod"},
    {RowState::changed, "LegendChanged", "Changed", "Changed between the old and the new original"},
    {RowState::onlyInMod, "LegendModOnly", "Mod only", "In the Mod only, in neither original"},
}};

QIcon swatch(RowState state, int size) {
  QPixmap pixmap(size, size);
  const Rgb colour = rowBackground(state, false, true);
  pixmap.fill(QColor::fromRgb(colour));
  QPainter painter(&pixmap);
  painter.setPen(QColor::fromRgb(kGridColour));
  painter.drawRect(0, 0, size - 1, size - 1);
  return QIcon(pixmap);
}

}  // namespace

ModUpdateLegend::ModUpdateLegend(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  const int side = fontMetrics().height();
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    const LegendEntry& entry = kEntries[i];
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(entry.name));
    button->setFlat(true);
    // The list keeps the focus; the legend is for the mouse and Ctrl+J.
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(swatch(entry.state, side));
    button->setIconSize(QSize(side, side));
    button->setToolTip(QString::fromLatin1(entry.tip) +
                       QStringLiteral(".\nClick: the next such row; Shift+click: the previous one."
                                      "\nCtrl+J, Ctrl+Shift+J: the next, previous coloured row."));
    connect(button, &QPushButton::clicked, this, [this, state = entry.state] {
      emit rowOfStateRequested(state,
                               QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    layout->addWidget(button);
    entries_[i] = button;
  }
  layout->addStretch(1);
  layout->setContentsMargins(layout->contentsMargins().left(), 0, layout->contentsMargins().right(),
                             0);
  setCounts({});
}

void ModUpdateLegend::setCounts(const RowStateCounts& counts) {
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    entries_[i]->setText(QStringLiteral("%1 (%2)")
                             .arg(QString::fromLatin1(kEntries[i].caption))
                             .arg(counts[static_cast<std::size_t>(kEntries[i].state)]));
  }
}

}  // namespace sorvane
