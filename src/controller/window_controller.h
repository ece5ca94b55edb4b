#pragma once

#include "controller/commands.h"
#include "controller/window_state.h"
#include "session/row_problems.h"
#include "session/row_states.h"
#include "session/session.h"
#include "session/translation_progress.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sorvane {

class DialogServices;

// What the info panel and the captions show for the selected row.
struct RowInfo {
  std::u16string section;
  std::u16string subsection;
  std::u16string comment;
  std::int32_t form = 1;  // from 1
  std::int32_t forms = 1;
  // The counts that show the form, in the Mod's language ("2–4, 22–24, …").
  std::u16string formCounts;
  TranslationState translation = TranslationState::translated;
  std::vector<std::u16string> problems;
  // How the original changed, word by word, for a row whose original did.
  std::u16string change;
  std::size_t oldOriginalLength = 0;
  std::size_t originalLength = 0;
  std::size_t modLength = 0;
};

// A row the list is to select and bring into view.
struct RowReveal {
  std::int32_t row = -1;
  bool centred = false;  // a row out of sight comes to the middle
};

// What the main window works on, without a window: the session, the
// paths and the mode the user gave, the row open in the editors, the
// selected row, the find text and the checks' problems. Every command runs
// here (run), under the rule of the command table; what only the
// interface can do (a dialog, a window, the focus inside the editors) is a
// handler a part gives. Any number of observers hear of each change once,
// after the command that made it.
class WindowController : private SessionListener {
 public:
  explicit WindowController(DialogServices& dialogs);
  ~WindowController() override;
  WindowController(const WindowController&) = delete;
  WindowController& operator=(const WindowController&) = delete;

  Session& session() { return session_; }
  const Session& session() const { return session_; }
  const RowProblems& problems() const { return problems_; }
  const TranslationProgress& progress() const { return progress_; }
  DialogServices& dialogs() const { return dialogs_; }

  WindowState state() const;
  // Runs the command when its rule allows it now; false when it didn't.
  bool run(CommandId id);
  void setHandler(CommandId id, std::function<void()> handler);

  void addObserver(WindowObserver& observer);
  void removeObserver(WindowObserver& observer);

  // The path boxes' texts and the chosen mode.
  const SessionPaths& paths() const { return paths_; }
  void setPaths(const SessionPaths& paths);
  SessionMode chosenMode() const { return chosenMode_; }
  void chooseMode(SessionMode mode);

  // The title: the Mod file's name with the mark for unsaved changes
  // ("[*]"), or the program's name without files.
  std::u16string title() const;
  // The file the open Mod was read from or last saved to.
  const std::u16string& modFilePath() const { return modFilePath_; }
  // The line above the list; empty when there is nothing to say.
  const std::u16string& notice() const { return notice_; }
  // "Mod update": each colour's rows at Open and how many of them are left.
  std::array<TranslationProgress::ColourProgress, 4> legendCounts() const;

  // The selected row, as the list reports it.
  void setSelectedRow(std::int32_t row);
  // Selects a row and asks the list to bring it into view.
  void selectRow(std::int32_t row, bool centred = false);
  std::optional<RowReveal> rowReveal() const { return delivered_.reveal; }
  // The selected row's texts for the info panel; nothing without one.
  std::optional<RowInfo> selectedRowInfo() const;

  // Opens the row editors on a row; another open row closes unstored.
  void openEditors(std::int32_t row);
  // Closes the editors; with store, the edited text is stored as an
  // undoable change (with "Change same" in the rows of the same original).
  void endEditing(bool store);
  // Where the edited text is read when an edit is stored.
  void setEditedTextSource(std::function<std::u16string()> source);
  // A text the Mod editor is to show instead of the one it has.
  std::optional<std::u16string> editorTextRequest() const { return delivered_.editorText; }
  std::optional<FocusTarget> focusRequest() const { return delivered_.focus; }

  // Find: a new text finds from the first row.
  void setFindText(std::u16string_view text);
  const std::u16string& findText() const { return findText_; }
  FindResult findResult() const { return findResult_; }

  // A file the folder search found: the open files are closed (asking to
  // save), and it opens in "Traditional" with a new Mod; the search's text
  // is then found in it.
  void openFoundFile(std::u16string_view path, std::u16string_view searchText);
  // Opens the files of the path boxes in the chosen mode.
  void openFiles();
  // False when the user kept the files open.
  bool closeFiles();
  void changeModLanguage(const std::string& code);
  // The next (previous) row of a colour, any colour without one; of a problem.
  void selectRowInState(std::optional<RowState> state, bool backward);
  void selectProblemRow(bool backward);

  // Keeps the changes it sees to one notification, sent when the
  // outermost one ends.
  class ChangeBatch {
   public:
    explicit ChangeBatch(WindowController& controller) : controller_(controller) {
      ++controller_.batchDepth_;
    }
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

   private:
    WindowController& controller_;
  };

 private:
  // The session's events.
  void rowsAboutToReset() override;
  void rowsReset() override;
  void rowTextsChanged() override;
  void rowTextStored(std::int32_t row) override;
  void undoLogCleared() override;
  void modifiedChanged() override;

  void registerCommands();
  void changed(WindowChanges changes);
  void notifyNow(WindowChanges changes);
  void flush();
  void saveModFile();
  void undoOrRedo(bool undoing);
  void findRowsFrom(std::int32_t start);
  void deleteSelectedRowText();
  void copyOriginalText();
  void recheckStoredRows();
  void checkAllRows();
  void removeDroppedRows();

  DialogServices& dialogs_;
  Session session_;
  RowProblems problems_;
  TranslationProgress progress_;
  std::vector<std::int32_t> storedRows_;
  std::array<std::function<void()>, kCommandCount> handlers_;
  // Handlers the interface gave, which are not batched.
  std::array<bool, kCommandCount> interfaceHandlers_{};
  std::vector<WindowObserver*> observers_;

  SessionPaths paths_;
  SessionMode chosenMode_ = SessionMode::traditional;
  std::u16string modFilePath_;
  std::u16string notice_;
  bool changeSame_ = false;
  std::int32_t selectedRow_ = -1;
  std::u16string findText_;
  FindResult findResult_ = FindResult::none;
  std::function<std::u16string()> editedText_;
  mutable std::optional<std::array<TranslationProgress::ColourProgress, 4>> legendCounts_;

  // Requests for the interface, made by a command and delivered with its
  // notification.
  struct Requests {
    std::optional<RowReveal> reveal;
    std::optional<std::u16string> editorText;
    std::optional<FocusTarget> focus;
  };
  Requests requested_;
  Requests delivered_;
  int batchDepth_ = 0;
  bool flushing_ = false;
  WindowChanges pending_ = 0;
};

}  // namespace sorvane
