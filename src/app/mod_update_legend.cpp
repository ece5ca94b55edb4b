#include "app/mod_update_legend.h"

#include "app/command_buttons.h"
#include "controller/window_controller.h"
#include "session/string_list_layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QHBoxLayout>
#include <QPainter>
#include <QPen>
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

// The row's colour inside a border of the state's strong colour, so that
// the pale colours are told apart and the swatch doesn't pass for a plain
// label.
QIcon swatch(RowState state, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(QColor::fromRgb(rowBackground(state, false, true)));
  QPainter painter(&pixmap);
  QPen pen(
      QColor::fromRgb(state == RowState::onlyInMod ? 0xA09000 : rowBackground(state, true, true)));
  pen.setWidth(2);
  painter.setPen(pen);
  painter.drawRect(1, 1, size - 2, size - 2);
  return QIcon(pixmap);
}

}  // namespace

ModUpdateLegend::ModUpdateLegend(WindowController& controller, CommandButtons& buttons,
                                 QWidget* parent)
    : QWidget(parent), controller_(controller) {
  auto* layout = new QHBoxLayout(this);
  const int side = fontMetrics().height();
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    const LegendEntry& entry = kEntries[i];
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(entry.name));
    button->setFlat(true);
    // Flat, but it shows that it can be clicked when the pointer is over it.
    button->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid transparent; border-radius: 3px; padding: 2px 6px; }"
        "QPushButton:hover { border-color: palette(mid); background: palette(alternate-base); }"));
    // The list keeps the focus; the legend is for the mouse and Ctrl+J.
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(swatch(entry.state, side));
    button->setIconSize(QSize(side, side));
    button->setToolTip(QString::fromLatin1(entry.tip) +
                       QStringLiteral(".\nClick: the next such row; Shift+click: the previous one."
                                      "\nCtrl+J, Ctrl+Shift+J: the next, previous coloured row."));
    connect(button, &QPushButton::clicked, this, [this, state = entry.state] {
      controller_.selectRowInState(state,
                                   QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    layout->addWidget(button);
    entries_[i] = button;
  }
  // Dropped rows, once seen, can go all at once.
  for (QAbstractButton* button : buttons.makePart(CommandPart::legend, this)) {
    layout->addWidget(button);
    removeDropped_ = button;
  }
  layout->addStretch(1);
  // Rows whose Mod text the checks found a slip in: F8 and Shift+F8 too.
  problems_ = new QPushButton(this);
  problems_->setObjectName(QStringLiteral("LegendProblems"));
  problems_->setFlat(true);
  problems_->setFocusPolicy(Qt::NoFocus);
  problems_->setStyleSheet(entries_[0]->styleSheet());
  problems_->setToolTip(QStringLiteral(
      "Rows whose Mod text has a slip the original hasn't: place markers, accelerators, "
      "punctuation, white space, line breaks, tags; and entries Qt will never find.\n"
      "Click: the next such row; Shift+click: the previous one.\nF8, Shift+F8: the same."));
  connect(problems_, &QPushButton::clicked, this, [this] {
    controller_.selectProblemRow(QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
  });
  layout->addWidget(problems_);
  setProblemCount(0);
  layout->setContentsMargins(layout->contentsMargins().left(), 0, layout->contentsMargins().right(),
                             0);
  setCounts({});
  hide();
  controller_.addObserver(*this);
}

ModUpdateLegend::~ModUpdateLegend() { controller_.removeObserver(*this); }

void ModUpdateLegend::windowChanged(WindowChanges changes) {
  if ((changes & (WindowChange::texts | WindowChange::rowsReset | WindowChange::controls)) == 0) {
    return;
  }
  const Session& session = controller_.session();
  const bool modUpdate = session.isOpen() && session.mode() == SessionMode::modUpdate;
  if (modUpdate) setCounts(controller_.legendCounts());
  for (QPushButton* entry : entries_) entry->setVisible(modUpdate);
  if (removeDropped_ != nullptr) removeDropped_->setVisible(modUpdate);
  setProblemCount(controller_.problems().rowsWithProblems());
  setVisible(session.isOpen());
}

void ModUpdateLegend::setProblemCount(int rows) {
  problems_->setText(QStringLiteral("Problems (%1)").arg(rows));
}

void ModUpdateLegend::setCounts(const std::array<TranslationProgress::ColourProgress, 4>& counts) {
  // What is left of each colour since the files were opened.
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    const TranslationProgress::ColourProgress count =
        counts[static_cast<std::size_t>(kEntries[i].state)];
    const QString caption = QString::fromLatin1(kEntries[i].caption);
    entries_[i]->setText(
        count.left == count.rows
            ? QStringLiteral("%1 (%2)").arg(caption).arg(count.rows)
            : QStringLiteral("%1 (%2 of %3 left)").arg(caption).arg(count.left).arg(count.rows));
  }
}

}  // namespace sorvane
