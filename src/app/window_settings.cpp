// The settings file at start-up and shut-down: paths, mode, placement and
// list font. Lines the program doesn't know stay as they are.

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/search_window.h"
#include "settings/settings_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <cstdint>

namespace sorvane {

namespace {

// Where a window goes without a stored placement: centred on the screen,
// large enough to show the list comfortably.
QRect firstStartGeometry(const QWidget& window) {
  const QScreen* screen =
      window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return window.geometry();
  const QRect available = screen->availableGeometry();
  QRect geometry(0, 0, std::min(available.width() * 2 / 3, 1200),
                 std::min(available.height() * 2 / 3, 800));
  geometry.moveCenter(available.center());
  return geometry;
}

bool onSomeScreen(const QRect& geometry) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry().intersects(geometry)) return true;
  }
  return QGuiApplication::screens().isEmpty();
}

// The restored bounds of a stored placement. The edges are whatever the
// file holds: the size is worked out in 64 bits, and edges and size are
// kept within what a window can have.
QRect placedGeometry(const WindowPlacement& placement) {
  static constexpr std::int64_t kLimit = QWIDGETSIZE_MAX;
  const auto clamped = [](std::int64_t value, std::int64_t low) {
    return static_cast<int>(std::clamp(value, low, kLimit));
  };
  const std::int64_t width = std::int64_t{placement.right} - placement.left;
  const std::int64_t height = std::int64_t{placement.bottom} - placement.top;
  return {clamped(placement.left, -kLimit), clamped(placement.top, -kLimit), clamped(width, 0),
          clamped(height, 0)};
}

// A window restored wholly off every screen (one that was unplugged)
// comes back onto the primary one.
void bringOntoScreen(QWidget& window) {
  // No window is smaller than its contents need, a stored one neither.
  window.resize(
      window.size().expandedTo(window.minimumSize()).expandedTo(window.minimumSizeHint()));
  if (onSomeScreen(window.geometry())) return;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    window.move(primary->availableGeometry().topLeft());
  }
}

}  // namespace

void MainWindow::restoreSettings(const SettingsLocation& location) {
  settingsPath_ = location.writePath;
  settings_ = loadSettingsFile(location.readPath);
  oldOriginalEdit_->setText(toQString(settings_.getValue(u"old_orig")));
  newOriginalEdit_->setText(toQString(settings_.getValue(u"new_orig")));
  modFileEdit_->setText(toQString(settings_.getValue(u"mod")));
  (settingsNumber(settings_.getValue(u"mod_update")) == 1 ? modUpdateRadio_ : traditionalRadio_)
      ->setChecked(true);
  applyMode();

  if (hasPlacement(settings_, u"form")) {
    const WindowPlacement placement = readPlacement(settings_, u"form");
    setGeometry(placedGeometry(placement));
    startMaximized_ = placement.maximized;
    bringOntoScreen(*this);
  } else {
    setGeometry(firstStartGeometry(*this));
  }

  // The search window: its placement (it stays hidden) and its fields.
  if (hasPlacement(settings_, u"searchform")) {
    const WindowPlacement search = readPlacement(settings_, u"searchform");
    searchWindow_->setGeometry(placedGeometry(search));
    bringOntoScreen(*searchWindow_);
    if (search.maximized) searchWindow_->setWindowState(Qt::WindowMaximized);
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred = searchWindow_->geometry();
    centred.moveCenter(screen->availableGeometry().center());
    searchWindow_->setGeometry(centred);
  }
  searchWindow_->setFields(toQString(settings_.getValue(u"search_folder")),
                           toQString(settings_.getValue(u"search_string")),
                           settings_.getValue(u"search_recurse") != u"0");

  const QString fontName = toQString(settings_.getValue(u"list_font"));
  const int fontIndex = fontNameBox_->findText(fontName, Qt::MatchFixedString);
  fontNameBox_->setCurrentIndex(fontIndex >= 0 ? fontIndex : (fontNameBox_->count() > 0 ? 0 : -1));
  fontSizeBox_->setEditText(toQString(settings_.getValue(u"list_font_size")));
  applyListFontName();
  applyListFontSize();
}

void MainWindow::showAsRestored() {
  if (startMaximized_) {
    showMaximized();
  } else {
    show();
  }
}

void MainWindow::saveSettings() {
  if (!settingsPath_) return;
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  writePlacement(settings_, u"form",
                 {normal.left(), normal.top(), normal.left() + normal.width(),
                  normal.top() + normal.height(), isMaximized()});
  const QRect search = searchWindow_->isMaximized() || searchWindow_->isMinimized()
                           ? searchWindow_->normalGeometry()
                           : searchWindow_->geometry();
  writePlacement(settings_, u"searchform",
                 {search.left(), search.top(), search.left() + search.width(),
                  search.top() + search.height(), searchWindow_->isMaximized()});
  settings_.setValue(u"old_orig", toU16String(oldOriginalEdit_->text()));
  settings_.setValue(u"new_orig", toU16String(newOriginalEdit_->text()));
  settings_.setValue(u"mod", toU16String(modFileEdit_->text()));
  settings_.setValue(u"mod_update", modUpdateRadio_->isChecked() ? u"1" : u"0");
  settings_.setValue(u"list_font", fontNameBox_->currentIndex() >= 0
                                       ? toU16String(fontNameBox_->currentText())
                                       : std::u16string());
  settings_.setValue(u"list_font_size", toU16String(fontSizeBox_->currentText()));
  settings_.setValue(u"search_folder", toU16String(searchWindow_->folderText()));
  settings_.setValue(u"search_string", toU16String(searchWindow_->searchText()));
  settings_.setValue(u"search_recurse",
                     searchWindow_->subdirectoriesCheck().isChecked() ? u"1" : u"0");
  // A settings file that can't be written loses this run's settings; the
  // old file stays whole.
  saveSettingsFile(settings_, *settingsPath_);
}

}  // namespace sorvane
