#pragma once

#include "controller/window_controller.h"
#include "settings/settings_file.h"
#include "widetext/wide_string_list.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QTimer;

namespace sorvane {

class CommandButtons;
class ControlsPanel;
class DialogServices;
class FilterBar;
class FindRow;
class InputRouter;
class PathBoxes;
class RowEditors;
class SearchWindow;
class StringListView;
class SuggestionsPanel;
class TranslationAssistant;

// The one main window: the layout of its parts and their wiring. Top to
// bottom: the controls panel (path boxes, command row, find row, edit row
// and column captions; Ctrl+T hides it), the notice line, the string list,
// its legend and the info panel. What the window does is the controller's;
// the window lays the parts out, gives the controller the handlers only
// the interface has (dialogs, windows, the panel) and shows its title.
class MainWindow : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  explicit MainWindow(DialogServices& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  WindowController& controller() { return controller_; }
  TranslationAssistant& assistant() { return *assistant_; }
  Session& session() { return controller_.session(); }
  StringListView& stringList() const { return *stringList_; }
  SearchWindow& searchWindow() const { return *searchWindow_; }

  // Start-up: reads the settings file and restores the paths, the mode,
  // the placements and the list font; they are written back at shut-down.
  void restoreSettings(const SettingsLocation& location);
  // Shows the window as restored: maximized or normal.
  void showAsRestored();
  // Opening from the command line: chooses the mode, fills the path boxes
  // (a path not given leaves its box empty) and opens the files.
  void openPaths(SessionMode mode, const SessionPaths& paths);

  void windowChanged(WindowChanges changes) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  // Takes a lookup the memory's thread finished.
  void deliverSuggestions();

 private:
  void buildParts();
  void giveHandlers();
  KeyTarget keyTargetOf(const QWidget& widget) const;
  void applyListFont();
  void layoutColumns();
  // The suggestions take two fifths of a window wide enough for both
  // panels; a narrower one leaves the info panel the whole width.
  void placeSuggestionsPanel();
  void saveSettings();

  DialogServices& dialogs_;
  // The controller outlives every part that shows it: the parts go first,
  // in the destructor.
  WindowController controller_;
  std::unique_ptr<SearchWindow> searchWindow_;
  // Made before the parts that show it, and gone before them.
  std::unique_ptr<TranslationAssistant> assistant_;
  std::unique_ptr<InputRouter> inputRouter_;
  std::optional<std::u16string> settingsPath_;
  WideStringList settings_;
  bool startMaximized_ = false;

  CommandButtons* buttons_ = nullptr;
  ControlsPanel* controlsPanel_ = nullptr;
  QWidget* showPanelStrip_ = nullptr;
  PathBoxes* pathBoxes_ = nullptr;
  FindRow* findRow_ = nullptr;
  FilterBar* filterBar_ = nullptr;
  StringListView* stringList_ = nullptr;
  RowEditors* rowEditors_ = nullptr;
  SuggestionsPanel* suggestionsPanel_ = nullptr;
  QTimer* backgroundWork_ = nullptr;
};

}  // namespace sorvane
