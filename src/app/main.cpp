// Sorvane: compare and edit the texts of QM translation files.

#include "app/main_window.h"
#include "app/qt_dialog_services.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane"));
  // The window is laid out in pixels for the classic control metrics.
  QApplication::setStyle(QStringLiteral("Windows"));

  sorvane::QtDialogServices dialogs;
  sorvane::MainWindow window(dialogs);
  dialogs.setWindow(sorvane::DialogOwner::mainWindow, &window);
  window.show();
  if (const QScreen* screen = window.screen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
  }
  return QApplication::exec();
}
