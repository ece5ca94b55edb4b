// Makes the README's screenshot: the main window in "Mod update" with rows
// of every colour, drawn on Qt's offscreen platform.

#include "app/main_window.h"
#include "app/string_list_view.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

using namespace sorvane;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_screenshot OUT.png\n");
    return 2;
  }
  QApplication application(argc, argv);
  test::TempFolder folder;
  const std::vector<test::QmEntry> oldOriginal = {
      {1, u"&Open...", "&Open...", "MainWindow"},
      {2, u"&Save", "&Save", "MainWindow"},
      {3, u"Save &as...", "Save &as...", "MainWindow"},
      {4, u"Print preview", "Print preview", "MainWindow"},
      {5, u"Recent files", "Recent files", "MainWindow"},
      {6, u"Close", "Close", "Dialog"},
      {7, u"Size: %1 bytes", "Size: %1 bytes", "Dialog"}};
  const std::vector<test::QmEntry> newOriginal = {
      {1, u"&Open...", "&Open...", "MainWindow"},
      {2, u"&Save", "&Save", "MainWindow"},
      {3, u"Save &as...", "Save &as...", "MainWindow"},
      {8, u"Export as PDF...", "Export as PDF...", "MainWindow"},
      {6, u"Close", "Close", "Dialog"},
      {7, u"Size: %1 KiB", "Size: %1 bytes", "Dialog"},
      {9, u"Check for updates", "Check for updates", "Help"}};
  const std::vector<test::QmEntry> mod = {
      {1, u"\u00D6&ffnen...", "&Open...", "MainWindow"},
      {2, u"&Speichern", "&Save", "MainWindow"},
      {3, u"Speichern &unter...", "Save &as...", "MainWindow"},
      {4, u"Druckvorschau", "Print preview", "MainWindow"},
      {6, u"Schlie\u00DFen", "Close", "Dialog"},
      {7, u"Gr\u00F6\u00DFe: %1 Bytes", "Size: %1 bytes", "Dialog"},
      {10, u"Eigener Text", "Custom", "Mod"}};
  folder.write("old.qm", test::buildQm(oldOriginal));
  folder.write("new.qm", test::buildQm(newOriginal));
  folder.write("mod.qm", test::buildQm(mod));

  test::RecordingDialogServices dialogs;
  MainWindow window(dialogs);
  window.resize(720, 440);
  window.findChild<QRadioButton*>("ModUpdateRadio")->click();
  window.findChild<QLineEdit*>("OldOriginalEdit")
      ->setText(QString::fromStdString(folder.path("old.qm")));
  window.findChild<QLineEdit*>("NewOriginalEdit")
      ->setText(QString::fromStdString(folder.path("new.qm")));
  window.findChild<QLineEdit*>("ModFileEdit")
      ->setText(QString::fromStdString(folder.path("mod.qm")));
  window.show();
  window.findChild<QPushButton*>("OpenButton")->click();
  window.stringList().selectRow(1);
  QApplication::processEvents();
  window.findChild<QLineEdit*>("OldOriginalEdit")
      ->setText(QStringLiteral("/home/me/app-1.0/de.qm"));
  window.findChild<QLineEdit*>("NewOriginalEdit")
      ->setText(QStringLiteral("/home/me/app-1.1/de.qm"));
  window.findChild<QLineEdit*>("ModFileEdit")->setText(QStringLiteral("/home/me/mods/de.qm"));
  QApplication::processEvents();
  return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
