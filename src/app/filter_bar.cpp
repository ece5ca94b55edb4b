#include "app/filter_bar.h"

#include "app/command_buttons.h"
#include "app/elided_label.h"
#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

namespace sorvane {

namespace {

struct KindChoice {
  const char* caption;
  RowKindFilter kind;
  bool modUpdateOnly;
};

constexpr KindChoice kKinds[] = {
    {"All rows", RowKindFilter::all, false},
    {"Unfinished", RowKindFilter::unfinished, false},
    {"Untranslated", RowKindFilter::untranslated, false},
    {"Incomplete plurals", RowKindFilter::incomplete, false},
    {"Translated", RowKindFilter::translated, false},
    {"With a problem", RowKindFilter::problem, false},
    {"Left to see to", RowKindFilter::left, true},
    {"New", RowKindFilter::newString, true},
    {"Dropped", RowKindFilter::dropped, true},
    {"Changed", RowKindFilter::changed, true},
    {"Mod only", RowKindFilter::onlyInMod, true},
};

template <typename Enum>
void addChoice(QComboBox& box, const char* caption, Enum value) {
  box.addItem(QString::fromUtf8(caption), static_cast<int>(value));
}

template <typename Enum>
Enum choiceOf(const QComboBox& box) {
  return static_cast<Enum>(box.currentData().toInt());
}

}  // namespace

FilterBar::FilterBar(WindowController& controller, CommandButtons& buttons, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  auto* showLabel = named<QLabel>("FilterShowLabel", QStringLiteral("Sho&w:"), this);
  kindBox_ = named<QComboBox>("FilterKindBox", this);
  showLabel->setBuddy(kindBox_);
  textEdit_ = named<QLineEdit>("FilterTextBox", this);
  textEdit_->setPlaceholderText(QStringLiteral("holding a text"));
  textEdit_->setClearButtonEnabled(true);
  auto* fieldLabel = named<QLabel>("FilterInLabel", QStringLiteral("in"), this);
  fieldBox_ = named<QComboBox>("FilterFieldBox", this);
  addChoice(*fieldBox_, "All texts", FilterField::allTexts);
  addChoice(*fieldBox_, "Original", FilterField::original);
  addChoice(*fieldBox_, "Mod text", FilterField::modText);
  addChoice(*fieldBox_, "Section", FilterField::section);
  addChoice(*fieldBox_, "SubSection", FilterField::subsection);
  addChoice(*fieldBox_, "Comment", FilterField::comment);
  patternBox_ = named<QComboBox>("FilterPatternBox", this);
  addChoice(*patternBox_, "Plain text", PatternKind::plain);
  addChoice(*patternBox_, "Wildcards", PatternKind::wildcard);
  addChoice(*patternBox_, "Regex", PatternKind::regex);
  patternBox_->setToolTip(
      QStringLiteral("How the text reads: plain text, wildcards (* any text, ? one character) "
                     "or an ICU regular expression. Case is ignored."));
  kindBox_->setToolTip(QStringLiteral(
      "Which rows to show: all, unfinished (untranslated or with plural forms left), "
      "untranslated, incomplete plurals, translated, with a problem; in \"Mod update\" also "
      "the rows left to see to and those of one colour"));
  auto* orderLabel = named<QLabel>("RowOrderLabel", QStringLiteral("Order:"), this);
  orderBox_ = named<QComboBox>("RowOrderBox", this);
  addChoice(*orderBox_, "File order", RowOrder::file);
  addChoice(*orderBox_, "By context", RowOrder::context);
  orderLabel->setBuddy(orderBox_);
  countLabel_ = named<QLabel>("FilterCountLabel", this);
  countLabel_->setTextFormat(Qt::PlainText);
  // What is wrong with a pattern is cut to the width there is (the
  // tooltip has all of it), so that a long reason never widens the window.
  errorLabel_ = named<ElidedLabel>("FilterErrorLabel", this);
  errorLabel_->setTextFormat(Qt::PlainText);
  errorLabel_->setStyleSheet(QStringLiteral("QLabel { color: #B01010; }"));
  errorLabel_->hide();
  fillKinds();
  for (QComboBox* box : {kindBox_, fieldBox_, patternBox_, orderBox_}) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }

  // The conditions on one line; what they come to, with Replace, below.
  auto* lines = new QVBoxLayout(this);
  lines->setContentsMargins(6, 3, 6, 3);
  lines->setSpacing(2);
  auto* conditions = new QHBoxLayout;
  conditions->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{showLabel, kindBox_, textEdit_, fieldLabel, fieldBox_,
                                       patternBox_, orderLabel, orderBox_}) {
    conditions->addWidget(widget);
  }
  conditions->setStretchFactor(textEdit_, 1);
  auto* outcome = new QHBoxLayout;
  outcome->setContentsMargins(0, 0, 0, 0);
  outcome->addWidget(countLabel_);
  outcome->addWidget(errorLabel_, 1);
  for (QAbstractButton* button : buttons.makePart(CommandPart::filterBar, this)) {
    outcome->addWidget(button);
  }
  lines->addLayout(conditions);
  lines->addLayout(outcome);
  // The box never asks for more room as its clear button shows.
  textEdit_->setMinimumWidth(textEdit_->fontMetrics().averageCharWidth() * 14);

  connect(kindBox_, &QComboBox::currentIndexChanged, this, &FilterBar::applyFilter);
  connect(fieldBox_, &QComboBox::currentIndexChanged, this, &FilterBar::applyFilter);
  connect(patternBox_, &QComboBox::currentIndexChanged, this, &FilterBar::applyFilter);
  connect(textEdit_, &QLineEdit::textChanged, this, &FilterBar::applyFilter);
  connect(orderBox_, &QComboBox::currentIndexChanged, this,
          [this] { controller_.setRowOrder(choiceOf<RowOrder>(*orderBox_)); });
  hide();
  controller_.addObserver(*this);
}

FilterBar::~FilterBar() { controller_.removeObserver(*this); }

void FilterBar::fillKinds() {
  const bool modUpdate = controller_.state().mode == SessionMode::modUpdate;
  if (kindBox_->count() > 0 && modUpdate == kindsForModUpdate_) return;
  kindsForModUpdate_ = modUpdate;
  const RowKindFilter current =
      kindBox_->count() > 0 ? choiceOf<RowKindFilter>(*kindBox_) : RowKindFilter::all;
  const QSignalBlocker blocker(kindBox_);
  kindBox_->clear();
  for (const KindChoice& choice : kKinds) {
    if (!choice.modUpdateOnly || modUpdate) addChoice(*kindBox_, choice.caption, choice.kind);
  }
  const int kept = kindBox_->findData(static_cast<int>(current));
  kindBox_->setCurrentIndex(kept >= 0 ? kept : 0);
  if (kept < 0 && current != RowKindFilter::all) applyFilter();
}

void FilterBar::applyFilter() {
  if (!isVisible() && !controller_.state().filterBarShown) return;
  RowFilter filter;
  filter.kind = choiceOf<RowKindFilter>(*kindBox_);
  filter.field = choiceOf<FilterField>(*fieldBox_);
  filter.patternKind = choiceOf<PatternKind>(*patternBox_);
  filter.pattern = toU16String(textEdit_->text());
  controller_.setRowFilter(filter);
  showCount();
}

void FilterBar::showCount() {
  const QString error = toQString(controller_.filterError());
  errorLabel_->setFullText(error);
  errorLabel_->setVisible(!error.isEmpty());
  const QLocale locale;
  const WindowState state = controller_.state();
  countLabel_->setText(QStringLiteral("%1 of %2 rows")
                           .arg(locale.toString(state.shownRows), locale.toString(state.rowCount)));
}

void FilterBar::windowChanged(WindowChanges changes) {
  if ((changes & (WindowChange::mode | WindowChange::rowsReset)) != 0) fillKinds();
  if ((changes & WindowChange::filter) != 0) {
    const bool shown = controller_.state().filterBarShown;
    if (shown != isVisible()) {
      setVisible(shown);
      if (shown) {
        textEdit_->setFocus();
        textEdit_->selectAll();
        applyFilter();
      }
    }
    const int order = orderBox_->findData(static_cast<int>(controller_.rowOrder()));
    if (order != orderBox_->currentIndex()) {
      const QSignalBlocker blocker(orderBox_);
      orderBox_->setCurrentIndex(order);
    }
  }
  if ((changes & (WindowChange::rowsReset | WindowChange::filter | WindowChange::controls)) != 0 &&
      isVisible()) {
    showCount();
  }
}

}  // namespace sorvane
