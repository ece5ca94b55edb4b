// Sorvane: compare and edit the texts of QM translation files.

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_dialog_services.h"
#include "app/search_window.h"
#include "platform/path_codec.h"
#include "settings/settings_file.h"

#include <QApplication>

#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string currentFolder() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

int main(int argc, char** argv) {
  // The arguments are read as bytes, before Qt decodes them, so that any
  // file name opens.
  const sorvane::CommandLine line =
      sorvane::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), currentFolder());
  switch (line.action) {
    case sorvane::CommandLine::Action::help:
      std::fputs(sorvane::kCommandLineHelp, stdout);
      return 0;
    case sorvane::CommandLine::Action::version:
      std::puts("sorvane " SORVANE_VERSION);
      return 0;
    case sorvane::CommandLine::Action::usageError:
      std::fprintf(stderr, "sorvane: %s\n%s", line.error.c_str(), sorvane::kCommandLineHelp);
      return 2;
    case sorvane::CommandLine::Action::run:
      break;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane"));
  QApplication::setApplicationVersion(QStringLiteral(SORVANE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.sorvane.Sorvane"));

  sorvane::QtDialogServices dialogs;
  sorvane::MainWindow window(dialogs);
  dialogs.setWindow(sorvane::DialogOwner::mainWindow, &window);
  dialogs.setWindow(sorvane::DialogOwner::folderSearchWindow, &window.searchWindow());
  window.restoreSettings(sorvane::settingsLocation(
      sorvane::pathFromNative(QCoreApplication::applicationDirPath().toStdString())));
  window.showAsRestored();
  if (line.mode) window.openPaths(*line.mode, line.paths);
  return QApplication::exec();
}
