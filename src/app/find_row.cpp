#include "app/find_row.h"

#include "app/command_buttons.h"
#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"
#include "session/string_list_layout.h"
#include "widetext/wide_string_list.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>

namespace sorvane {

FindRow::FindRow(WindowController& controller, CommandButtons& buttons, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  auto* fontLabel = named<QLabel>("FontLabel", QStringLiteral("Font:"), this);
  auto* findLabel = named<QLabel>("FindLabel", QStringLiteral("&Find:"), this);
  fontNameBox_ = named<QComboBox>("FontNameBox", this);
  fontSizeBox_ = named<QComboBox>("FontSizeBox", this);
  fontSizeBox_->setEditable(true);
  fontSizeBox_->setInsertPolicy(QComboBox::NoInsert);
  // Typed sizes apply as typed: "2" must not become "20".
  fontSizeBox_->setCompleter(nullptr);
  fontSizeBox_->addItems({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                          "28", "36", "48", "72"});
  fontSizeBox_->setCurrentIndex(fontSizeBox_->findText(QStringLiteral("14")));
  fontSizeBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // The find box takes the room to spare; the font boxes keep what they need.
  for (QComboBox* box : {fontNameBox_, fontSizeBox_}) {
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }
  findEdit_ = named<QLineEdit>("FindEdit", this);
  findLabel->setBuddy(findEdit_);
  findNextButton_ = buttons.make(CommandId::findNext, this);
  findStatus_ = named<QLabel>("FindStatus", this);
  findStatus_->hide();
  inKeysCheck_ = named<QCheckBox>("FindInKeysCheck", QStringLiteral("All te&xts"), this);
  inKeysCheck_->setToolTip(
      QStringLiteral("Find in the section, subsection and comment of each row too"));
  fillFontNames();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{fontLabel, fontNameBox_, fontSizeBox_, findLabel, findEdit_,
                                       findNextButton_, inKeysCheck_, findStatus_}) {
    layout->addWidget(widget);
  }
  layout->setStretchFactor(findEdit_, 1);

  connect(fontNameBox_, &QComboBox::currentIndexChanged, this, &FindRow::listFontChanged);
  connect(fontSizeBox_, &QComboBox::editTextChanged, this, &FindRow::listFontChanged);
  connect(findEdit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { controller_.setFindText(toU16String(text)); });
  connect(inKeysCheck_, &QCheckBox::toggled, this,
          [this](bool checked) { controller_.setFindInKeys(checked); });
  controller_.addObserver(*this);
}

FindRow::~FindRow() { controller_.removeObserver(*this); }

void FindRow::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::find) == 0) return;
  // A find text the controller was given (from the folder search) shows
  // in the box without starting another find.
  const QString text = toQString(controller_.findText());
  if (findEdit_->text() != text) {
    const QSignalBlocker blocker(findEdit_);
    findEdit_->setText(text);
  }
  showFindResult(controller_.findResult());
}

void FindRow::fillFontNames() {
  // Every family once; symbol fonts can't show texts.
  WideStringList fontNames;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol)) continue;
    const std::u16string name = toU16String(family);
    if (fontNames.indexOf(name) < 0) fontNames.add(name);
  }
  fontNames.sort(false);
  const QSignalBlocker blocker(fontNameBox_);
  qsizetype longest = 0;
  for (std::int32_t i = 0; i < fontNames.count(); ++i) {
    fontNameBox_->addItem(toQString(fontNames.view(i)));
    longest = std::max<qsizetype>(longest, fontNames.view(i).size());
  }
  // Wide enough for the usual names; a rare very long one is cut rather
  // than widening the window.
  constexpr qsizetype kWidestName = 24;
  fontNameBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  fontNameBox_->setMinimumContentsLength(static_cast<int>(std::min(longest, kWidestName)));
  // Until a name is chosen, the list keeps the desktop's font where the
  // box offers it.
  const int desktopFamily = fontNameBox_->findText(QFontInfo(QApplication::font()).family());
  fontNameBox_->setCurrentIndex(desktopFamily >= 0 ? desktopFamily
                                                   : (fontNames.count() > 0 ? 0 : -1));
}

QFont FindRow::listFont(const QFont& base) const {
  QFont font = base;
  font.setFamily(fontNameBox_->currentText());
  // A height of 0 asks for the default height.
  const int height = listFontHeightFromText(toU16String(fontSizeBox_->currentText()));
  font.setPixelSize(height > 0 ? height : QFontInfo(QApplication::font()).pixelSize());
  return font;
}

QString FindRow::fontName() const {
  return fontNameBox_->currentIndex() >= 0 ? fontNameBox_->currentText() : QString();
}

QString FindRow::fontSizeText() const { return fontSizeBox_->currentText(); }

void FindRow::setFont(const QString& name, const QString& sizeText) {
  // Without a stored font the list has the desktop's own, at its size.
  const QFontInfo desktop(QApplication::font());
  const int index =
      fontNameBox_->findText(name.isEmpty() ? desktop.family() : name, Qt::MatchFixedString);
  fontNameBox_->setCurrentIndex(index >= 0 ? index : (fontNameBox_->count() > 0 ? 0 : -1));
  fontSizeBox_->setEditText(sizeText.isEmpty() ? QString::number(desktop.pixelSize()) : sizeText);
  emit listFontChanged();
}

void FindRow::showFindResult(FindResult result) {
  // Nothing found tints the box, as browsers and editors do.
  QPalette palette = findEdit_->style()->standardPalette();
  if (result == FindResult::notFound) palette.setColor(QPalette::Base, QColor(0xFF, 0xDD, 0xDD));
  findEdit_->setPalette(result == FindResult::notFound ? palette : QPalette());
  const QString status = result == FindResult::notFound  ? QStringLiteral("Not found")
                         : result == FindResult::wrapped ? QStringLiteral("Search wrapped")
                                                         : QString();
  findStatus_->setText(status);
  findStatus_->setVisible(!status.isEmpty());
}

void FindRow::focusFindBox() { findEdit_->setFocus(); }

bool FindRow::isFindBox(const QWidget* widget) const { return widget == findEdit_; }

}  // namespace sorvane
