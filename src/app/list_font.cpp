// The list font: the font names offered, and applying name and size.

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/row_editors.h"
#include "app/string_list_view.h"
#include "session/string_list_layout.h"
#include "widetext/wide_string_list.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>

#include <algorithm>

namespace sorvane {

void MainWindow::fillFontNames() {
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
  // Until a name is chosen, the list keeps the window's font where the box
  // offers it.
  const int windowFamily = fontNameBox_->findText(QFontInfo(font()).family());
  fontNameBox_->setCurrentIndex(windowFamily >= 0 ? windowFamily
                                                  : (fontNames.count() > 0 ? 0 : -1));
}

void MainWindow::applyListFontName() {
  QFont font = stringList_->font();
  font.setFamily(fontNameBox_->currentText());
  stringList_->setListFont(font);
  rowEditors_->setEditorFont(font);
  layoutColumns();
}

void MainWindow::applyListFontSize() {
  QFont font = stringList_->font();
  const int height = listFontHeightFromText(toU16String(fontSizeBox_->currentText()));
  // A height of 0 asks for the default height.
  if (height > 0) {
    font.setPixelSize(height);
  } else {
    font.setPixelSize(QFontInfo(QApplication::font()).pixelSize());
  }
  stringList_->setListFont(font);
  rowEditors_->setEditorFont(font);
  layoutColumns();
}

}  // namespace sorvane
