// The settings file at start-up and shut-down: paths, mode, placements,
// the folder search's fields, the list font, where find looks, the rows'
// order and whether the spelling is checked. Lines the program doesn't know stay as they are.

#include "app/controls_panel.h"
#include "app/find_row.h"
#include "app/main_window.h"
#include "app/path_boxes.h"
#include "app/qt_text.h"
#include "app/search_window.h"
#include "app/window_placement.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>

namespace sorvane {

void MainWindow::restoreSettings(const SettingsLocation& location) {
  settingsPath_ = location.writePath;
  settings_ = loadSettingsFile(location.readPath);
  controller_.setPaths({settings_.getValue(u"old_orig"), settings_.getValue(u"new_orig"),
                        settings_.getValue(u"mod")});
  controller_.chooseMode(settingsNumber(settings_.getValue(u"mod_update")) == 1
                             ? SessionMode::modUpdate
                             : SessionMode::traditional);

  if (hasPlacement(settings_, u"form")) {
    const WindowPlacement placement = readPlacement(settings_, u"form");
    applyPlacement(*this, placement);
    startMaximized_ = placement.maximized;
  } else {
    placeFirstTime(*this);
  }
  // The search window: its placement (it stays hidden) and its fields.
  if (hasPlacement(settings_, u"searchform")) {
    const WindowPlacement search = readPlacement(settings_, u"searchform");
    applyPlacement(*searchWindow_, search);
    if (search.maximized) searchWindow_->setWindowState(Qt::WindowMaximized);
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred = searchWindow_->geometry();
    centred.moveCenter(screen->availableGeometry().center());
    searchWindow_->setGeometry(centred);
  }
  searchWindow_->setFields(toQString(settings_.getValue(u"search_folder")),
                           toQString(settings_.getValue(u"search_string")),
                           settings_.getValue(u"search_recurse") != u"0");
  findRow_->setFont(toQString(settings_.getValue(u"list_font")),
                    toQString(settings_.getValue(u"list_font_size")));
  findRow_->inKeysCheck().setChecked(settings_.getValue(u"find_all_texts") == u"1");
  controller_.setRowOrder(settings_.getValue(u"row_order") == u"context" ? RowOrder::context
                                                                         : RowOrder::file);
}

void MainWindow::showAsRestored() {
  if (startMaximized_) {
    showMaximized();
  } else {
    show();
  }
  controlsPanel_->pathBoxes().focusFirstEmptyBox();
}

void MainWindow::saveSettings() {
  if (!settingsPath_) return;
  writePlacement(settings_, u"form", placementOf(*this));
  writePlacement(settings_, u"searchform", placementOf(*searchWindow_));
  const SessionPaths& paths = controller_.paths();
  settings_.setValue(u"old_orig", paths.oldOriginal);
  settings_.setValue(u"new_orig", paths.newOriginal);
  settings_.setValue(u"mod", paths.mod);
  settings_.setValue(u"mod_update",
                     controller_.chosenMode() == SessionMode::modUpdate ? u"1" : u"0");
  settings_.setValue(u"list_font", toU16String(findRow_->fontName()));
  settings_.setValue(u"list_font_size", toU16String(findRow_->fontSizeText()));
  settings_.setValue(u"find_all_texts", findRow_->inKeysCheck().isChecked() ? u"1" : u"0");
  settings_.setValue(u"row_order",
                     controller_.rowOrder() == RowOrder::context ? u"context" : u"file");
  settings_.setValue(u"spell_check", controller_.spellingOn() ? u"1" : u"0");
  settings_.setValue(u"search_folder", toU16String(searchWindow_->folderText()));
  settings_.setValue(u"search_string", toU16String(searchWindow_->searchText()));
  settings_.setValue(u"search_recurse",
                     searchWindow_->subdirectoriesCheck().isChecked() ? u"1" : u"0");
  // A settings file that can't be written loses this run's settings; the
  // old file stays whole.
  saveSettingsFile(settings_, *settingsPath_);
}

}  // namespace sorvane
