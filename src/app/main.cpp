// Sorvane: compare and edit the texts of QM translation files.

#include "app/main_window.h"
#include "app/qt_dialog_services.h"
#include "app/search_window.h"
#include "platform/path_codec.h"
#include "settings/settings_file.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane"));
  // The window is laid out in pixels for the classic control metrics.
  QApplication::setStyle(QStringLiteral("Windows"));

  sorvane::QtDialogServices dialogs;
  sorvane::MainWindow window(dialogs);
  dialogs.setWindow(sorvane::DialogOwner::mainWindow, &window);
  dialogs.setWindow(sorvane::DialogOwner::folderSearchWindow, &window.searchWindow());
  window.restoreSettings(sorvane::settingsFilePath(
      sorvane::pathFromNative(QCoreApplication::applicationDirPath().toStdString())));
  window.showAsRestored();
  return QApplication::exec();
}
