#pragma once

#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QObject>

namespace sorvane::test {

// The settings file through a real start-up and shut-down of the window.
class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void aRestartBringsBackPathsModeWindowAndFont();
  void unknownDuplicateAndMisspelledLinesStayInPlace();
  void numbersAndFontsAreReadAsStored();
  void onlyFormMaxStartsMaximized();
  void aWindowOffEveryScreenComesBackOntoOne();
  void withoutAStoredFontTheListHasTheDesktopsFont();
  void withoutAFileTheWindowStartsCentred();

 private:
  // Writes the lines as the settings file (UTF-16LE, CR LF), starts a window
  // with it and closes it again; returns the file's lines afterwards.
  std::u16string settingsPath() const { return folder.widePath("sorvane.ini"); }
  void writeSettings(std::u16string_view text) const;
  std::u16string readSettings() const;

  TempFolder folder;
  RecordingDialogServices dialogs;
};

}  // namespace sorvane::test
