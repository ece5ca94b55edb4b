#pragma once

#include "checks/spelling.h"
#include "controller/commands.h"
#include "controller/window_state.h"
#include "session/editing.h"
#include "session/find_in_list.h"
#include "session/row_filter.h"
#include "session/row_problems.h"
#include "session/row_states.h"
#include "session/row_view.h"
#include "session/session.h"
#include "session/text_replace.h"
#include "session/translation_progress.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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

// The order of the rows in the list.
enum class RowOrder : std::uint8_t {
  file,     // as the files hold them
  context,  // by context (subsection), then source text (section)
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

  // The rows the list shows, in its order. Every command that walks rows
  // (find, F8, Ctrl+J, Change same, store and go on) walks these.
  const RowView& view() const { return view_; }
  // Shows the rows the filter keeps, in the order chosen; the selected row
  // stays when it is still shown. False, with the reason in filterError and
  // the rows shown as they were, when its pattern is not a valid regular
  // expression. The rows shown are chosen when the filter or the order
  // changes, or the rows are laid out anew, not as texts are stored, so a
  // row just translated stays in sight.
  bool setRowFilter(const RowFilter& filter);
  const RowFilter& rowFilter() const { return filter_; }
  const std::u16string& filterError() const { return filterError_; }
  void setRowOrder(RowOrder order);
  RowOrder rowOrder() const { return order_; }

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
  // Whether find looks in the section, subsection and comment too.
  void setFindInKeys(bool inKeys);
  bool findInKeys() const { return findScope_.inKeys; }
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
  // Stores the edit (when the editors are open) and opens them on the next
  // row shown that is left to do: untranslated, incomplete or with a
  // problem; in "Mod update" a coloured row not yet seen to.
  void storeAndGoOn();
  // Selects the next (previous) row shown that is untranslated or
  // incomplete.
  void selectUntranslatedRow(bool backward);
  bool rowLeftToDo(std::int32_t row) const;
  // The replacements a query makes in the Mod texts of the rows shown;
  // nothing, with the reason in error, for a query that can't be used.
  std::optional<std::vector<Replacement>> findReplacements(const ReplaceQuery& query,
                                                           std::u16string* error);
  // Stores the replacements as one undoable change and says how many.
  std::int32_t replaceTexts(std::span<const Replacement> replacements);
  // Stores the texts as one undoable change, says so in the notice line
  // (the notice a format with one %d) and returns how many rows changed.
  std::int32_t storeTexts(std::span<const RowText> texts, std::u16string_view notice);
  // Puts a text into the Mod editor, opening the editors on the selected
  // row first; nothing is stored until the edit is.
  void putIntoModEditor(std::u16string_view text);
  // Called after every save that wrote the Mod file.
  void setSavedHandler(std::function<void()> handler) { savedHandler_ = std::move(handler); }

  // Spelling, in the Mod's language: the dictionary in use (none when it is
  // switched off, the Mod names no language or no dictionary is there), and
  // a line saying which package holds a missing one.
  void setSpellingOn(bool on);
  bool spellingOn() const { return spellingOn_; }
  const SpellChecker* speller() const { return speller_; }
  const std::u16string& spellingNote() const { return spellingNote_; }
  // The misspelt words of a text typed for the row open in the editors.
  std::vector<TextWord> misspeltWords(std::u16string_view text) const;
  // A word the dictionary is to know from now on (kept in the user's word
  // list of the language), or to pass until the program ends; the rows
  // are checked anew.
  void addToDictionary(std::u16string_view word);
  void ignoreWord(std::u16string_view word);
  // The spelling of every row is checked a slice at a time, while the
  // window is idle, so that opening a large file never waits for it.
  bool backgroundWorkPending() const { return spellingNext_ >= 0; }
  // Works for about the budget; whether work is left.
  bool runBackgroundWork(std::chrono::milliseconds budget);

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
  // Asks for an exported file (any format) and imports its texts.
  void importFromFile();
  // Takes the dictionary of the Mod's language and starts checking every
  // row's spelling.
  void chooseSpeller();
  // Chooses the rows shown anew; false when the filter's pattern is invalid.
  bool rebuildView();
  // Lays the view out by the filter and the order, with no notification.
  void showFilteredRows();

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
  std::u16string lastImportPath_;
  std::u16string notice_;
  bool changeSame_ = false;
  std::int32_t selectedRow_ = -1;
  std::u16string findText_;
  FindScope findScope_;
  RowFilter filter_;
  bool filterBarShown_ = false;
  std::u16string filterError_;
  RowOrder order_ = RowOrder::file;
  std::vector<std::int32_t> contextOrder_;  // made when first needed
  RowView view_;
  // Dictionaries by language code, loaded once; null where none is there.
  std::map<std::string, std::unique_ptr<SpellChecker>, std::less<>> spellers_;
  SpellChecker* speller_ = nullptr;
  bool spellingOn_ = true;
  std::u16string spellingNote_;
  std::int32_t spellingNext_ = -1;  // the next row to check; -1 when done
  FindResult findResult_ = FindResult::none;
  std::function<std::u16string()> editedText_;
  std::function<void()> savedHandler_;
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
