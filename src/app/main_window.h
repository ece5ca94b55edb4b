#pragma once

#include "app/window_commands.h"
#include "session/control_states.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "widetext/wide_string_list.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QLabel;

namespace sorvane {

class ColumnCaptions;
class CommandRow;
class ControlsPanel;
class DialogServices;
class EditRow;
class FindRow;
class InfoPanel;
class MessageHook;
class ModUpdateLegend;
class NoticeBar;
class PathBoxes;
class RowEditors;
class RowOverview;
class SearchWindow;
class StringListModel;
class StringListView;

// The one main window. Its parts, top to bottom: the path boxes, the
// command row, the find row, the edit row and the column captions (the
// controls panel, which Ctrl+T hides), the string list with its legend,
// and the info panel. The window coordinates them and the session: it
// routes their signals to the session's operations and gives every part
// the state the session is in. The keys are the key table's; the window
// runs their commands.
class MainWindow : public QWidget, public WindowCommands {
  Q_OBJECT

 public:
  explicit MainWindow(DialogServices& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  Session& session() { return session_; }
  StringListView& stringList() const override { return *stringList_; }
  RowEditors& rowEditors() const override { return *rowEditors_; }
  SearchWindow& searchWindow() const { return *searchWindow_; }
  SessionPaths paths() const;

  // Start-up: reads the settings file and restores the paths, the mode,
  // the placements and the list font; they are written back at shut-down.
  void restoreSettings(const SettingsLocation& location);
  // Shows the window as restored: maximized or normal.
  void showAsRestored();
  // Opening from the command line: chooses the mode, fills the path boxes
  // (a path not given leaves its box empty) and opens the files.
  void openPaths(SessionMode mode, const SessionPaths& paths);

  void showSearchWindow();
  void toggleControlsPanel();
  void cancelEditing() override;

  bool runCommand(Command command, QWidget* target) override;
  const QWidget& mainWindow() const override { return *this; }
  const QWidget& searchWindowWidget() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildParts();
  void connectParts();
  void openFiles();
  bool closeFiles();
  void saveModFile();
  void exportModTexts();
  void openFoundFile(const QString& path);
  void applyMode();
  void applyListFont();
  void layoutColumns();
  // Every part takes the state the session is in now.
  void applySessionState();
  // Captions with the text lengths and the info panel, for the selected row.
  void showSelectedRowInfo();
  void findRowsFrom(int start);
  void undoOrRedo(bool undoing);
  void saveSettings();

  DialogServices& dialogs_;
  // The session outlives every part that shows it: the parts go first, in
  // the destructor.
  Session session_;
  std::unique_ptr<SearchWindow> searchWindow_;
  std::unique_ptr<MessageHook> messageHook_;
  std::optional<std::u16string> settingsPath_;
  WideStringList settings_;
  bool startMaximized_ = false;

  ControlsPanel* controlsPanel_ = nullptr;
  QWidget* showPanelStrip_ = nullptr;
  NoticeBar* noticeBar_ = nullptr;
  RowOverview* rowOverview_ = nullptr;
  PathBoxes* pathBoxes_ = nullptr;
  CommandRow* commandRow_ = nullptr;
  FindRow* findRow_ = nullptr;
  EditRow* editRow_ = nullptr;
  ColumnCaptions* columnCaptions_ = nullptr;
  StringListView* stringList_ = nullptr;
  RowEditors* rowEditors_ = nullptr;
  ModUpdateLegend* legend_ = nullptr;
  InfoPanel* infoPanel_ = nullptr;
};

}  // namespace sorvane
