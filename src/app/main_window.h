#pragma once

#include "session/session.h"
#include "settings/settings_file.h"
#include "widetext/wide_string_list.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sorvane {

class ModLanguageBox;

class ColumnCaptions;
class DialogServices;
class MessageHook;
class ModUpdateLegend;
class RowEditors;
class SearchWindow;
class StringListModel;
class StringListView;

// The one main window: the path boxes, mode and command buttons, the list
// font, find and edit controls, the string list and the section labels. It
// routes control events to the session's operations and sets every
// control's state from the session.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(DialogServices& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  Session& session() { return session_; }
  StringListView& stringList() const { return *stringList_; }

  // The texts of the three path boxes.
  SessionPaths paths() const;
  SessionMode checkedMode() const;

  // Start-up: reads the settings file at path and restores the paths, the
  // mode, the placement and the list font; the file is written back at
  // shut-down. Without it nothing is read or written.
  void restoreSettings(const SettingsLocation& location);
  // Shows the window as restored: maximized or normal.
  void showAsRestored();

  // Marks the session as changed or saved; the Save button follows.
  void setModified(bool modified);

  void openFiles();
  bool closeFiles();
  void saveModFile();
  void applyMode();
  void layoutColumns();
  void toggleControlsPanel();
  void browseForFile(bool openDialog, QLineEdit* box);
  void applyListFontName();
  void applyListFontSize();

  // The folder search window: built with the main window, shown on demand.
  SearchWindow& searchWindow() const { return *searchWindow_; }
  void showSearchWindow();
  // Opens a found file as the Original of a new Traditional session.
  void openFoundFile(const QString& path);

  // The export dialog, modal; the debug translation after asking its ID.
  void exportModTexts();
  void makeDebugQm();

  // Find in the list: from the row after the selected one.
  void findNext();

  // Keyboard commands: each does what its control does, and nothing while
  // that control is disabled.
  void saveFromKeyboard();
  void exportFromKeyboard();
  void undoFromKeyboard();
  void redoFromKeyboard();
  void toggleChangeSame();
  void focusFindBox();
  bool isFindBox(const QWidget* widget) const;
  // The path boxes and the find box.
  bool isTextBox(const QWidget* widget) const;

  // Selects the nearest row after (or before) the selected one in the
  // state, or in any coloured state; beeps when there is none.
  void selectRowInState(std::optional<RowState> state, bool backward);

  // Opening from the command line: chooses the mode, fills the path boxes
  // (a path not given leaves its box empty) and opens the files.
  void openPaths(SessionMode mode, const SessionPaths& paths);

  // Editing, Undo and Redo.
  RowEditors& rowEditors() const { return *rowEditors_; }
  void openEditorsOnSelectedRow();
  void commitEditing();
  void cancelEditing();
  void deleteSelectedRowText();
  void undoChange();
  void redoChange();
  // Gives the Mod another language, asking first when plural forms with
  // text would go.
  void changeModLanguageTo(const std::string& code);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // QM files dropped on the window fill the path boxes.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // After a change was stored, undone or redone: the Save, Undo and Redo
  // buttons follow the session.
  void changeStored();
  void updateUndoButtons();
  // Shows an undone or redone row: selected, in view, with its caption.
  void showChangedRow(int row);
  void saveSettings();
  void findTextChanged();
  void findRowsFrom(int start);
  void buildControls();
  void buildInfoPanel();
  void buildControlsPanel();
  void buildShowPanelStrip();
  void connectControls();
  void fillFontNames();
  // Enables and disables the controls by the session's state.
  void applySessionState();
  // Captions with text lengths and the section labels, for the selected row.
  void showSelectedRowInfo();
  // Shows the legend in "Mod update" with the current counts.
  void updateLegend();
  QFont listFont() const;

  DialogServices& dialogs_;
  Session session_;
  std::unique_ptr<SearchWindow> searchWindow_;
  std::optional<std::u16string> settingsPath_;
  WideStringList settings_;
  bool startMaximized_ = false;
  StringListModel* model_ = nullptr;
  RowEditors* rowEditors_ = nullptr;
  MessageHook* messageHook_ = nullptr;

  QWidget* controlsPanel_ = nullptr;
  QWidget* showPanelStrip_ = nullptr;
  QWidget* infoPanel_ = nullptr;
  ModUpdateLegend* legend_ = nullptr;
  StringListView* stringList_ = nullptr;
  ColumnCaptions* columnCaptions_ = nullptr;

  QLabel* sectionText_ = nullptr;
  QLabel* subSectionText_ = nullptr;
  QLabel* pluralFormText_ = nullptr;
  QLabel* modifiedCaption_ = nullptr;
  QLabel* newOriginalLabel_ = nullptr;
  QLabel* newOriginalCaption_ = nullptr;
  QLabel* oldOriginalLabel_ = nullptr;
  QLabel* oldOriginalCaption_ = nullptr;
  QLineEdit* oldOriginalEdit_ = nullptr;
  QPushButton* oldOriginalBrowse_ = nullptr;
  QLineEdit* newOriginalEdit_ = nullptr;
  QPushButton* newOriginalBrowse_ = nullptr;
  QLineEdit* modFileEdit_ = nullptr;
  QPushButton* modFileBrowse_ = nullptr;
  QRadioButton* traditionalRadio_ = nullptr;
  QRadioButton* modUpdateRadio_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* exportButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QComboBox* fontNameBox_ = nullptr;
  QComboBox* fontSizeBox_ = nullptr;
  QLineEdit* findEdit_ = nullptr;
  QPushButton* findNextButton_ = nullptr;
  QPushButton* undoButton_ = nullptr;
  QPushButton* redoButton_ = nullptr;
  QCheckBox* changeSameCheck_ = nullptr;
  QPushButton* searchFolderButton_ = nullptr;
  QPushButton* debugQmButton_ = nullptr;
  ModLanguageBox* modLanguageBox_ = nullptr;
};

}  // namespace sorvane
