#include "controller/window_controller.h"

#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "platform/side_by_side.h"
#include "platform/text_codec.h"
#include "session/editing.h"
#include "session/find_in_list.h"
#include "session/mod_file_saving.h"
#include "textio/exchange_file.h"
#include "textio/text_export.h"
#include "widetext/word_diff.h"

#include <algorithm>
#include <utility>

namespace sorvane {

WindowController::WindowController(DialogServices& dialogs) : dialogs_(dialogs) {
  session_.setListener(this);
  registerCommands();
}

WindowController::~WindowController() { session_.setListener(nullptr); }

void WindowController::registerCommands() {
  using enum CommandId;
  const auto on = [this](CommandId id, std::function<void()> handler) {
    handlers_[static_cast<std::size_t>(id)] = std::move(handler);
  };
  on(chooseTraditional, [this] { chooseMode(SessionMode::traditional); });
  on(chooseModUpdate, [this] { chooseMode(SessionMode::modUpdate); });
  on(openFiles, [this] { WindowController::openFiles(); });
  on(saveMod, [this] { saveModFile(); });
  on(closeFiles, [this] { WindowController::closeFiles(); });
  on(undo, [this] { undoOrRedo(true); });
  on(redo, [this] { undoOrRedo(false); });
  on(toggleChangeSame, [this] {
    changeSame_ = !changeSame_;
    changed(WindowChange::controls);
  });
  on(findNext, [this] { findRowsFrom(view_.positionOf(selectedRow_) + 1); });
  on(nextColouredRow, [this] { selectRowInState(std::nullopt, false); });
  on(previousColouredRow, [this] { selectRowInState(std::nullopt, true); });
  on(nextProblemRow, [this] { selectProblemRow(false); });
  on(previousProblemRow, [this] { selectProblemRow(true); });
  on(focusFindBox, [this] {
    requested_.focus = FocusTarget::findBox;
    changed(WindowChange::focus);
  });
  on(focusList, [this] {
    requested_.focus = FocusTarget::list;
    changed(WindowChange::focus);
  });
  on(CommandId::openEditors, [this] { WindowController::openEditors(selectedRow_); });
  on(storeEdit, [this] { endEditing(true); });
  on(dropEdit, [this] { endEditing(false); });
  on(CommandId::deleteRowText, [this] { deleteSelectedRowText(); });
  on(copyOriginal, [this] { copyOriginalText(); });
  on(removeDropped, [this] { removeDroppedRows(); });
  on(CommandId::storeAndGoOn, [this] { WindowController::storeAndGoOn(); });
  on(nextUntranslatedRow, [this] { selectUntranslatedRow(false); });
  on(previousUntranslatedRow, [this] { selectUntranslatedRow(true); });
  on(toggleFilterBar, [this] {
    filterBarShown_ = !filterBarShown_;
    // A hidden bar keeps no rows out of sight; the order stays.
    if (!filterBarShown_) setRowFilter({});
    changed(WindowChange::controls | WindowChange::filter);
  });
  on(importTexts, [this] { importFromFile(); });
  on(ignoreKey, [] {});
}

WindowState WindowController::state() const {
  WindowState state;
  state.open = session_.isOpen();
  state.mode = state.open ? session_.mode() : chosenMode_;
  state.modified = state.open && session_.modified();
  state.editing = session_.editRow() >= 0;
  state.changeSame = changeSame_;
  state.findTextGiven = !findText_.empty();
  state.filterBarShown = filterBarShown_;
  state.selectedRow = selectedRow_;
  state.rowCount = session_.rowCount();
  state.shownRows = view_.size();
  if (state.open && session_.mode() == SessionMode::modUpdate) {
    state.droppedRows = legendCounts()[static_cast<std::size_t>(RowState::dropped)].left;
  }
  state.controls = controlStates(session_, chosenMode_);
  return state;
}

bool WindowController::run(CommandId id) {
  const CommandInfo& info = commandInfo(id);
  if (!info.enabled(state())) return false;
  const std::function<void()>& handler = handlers_[static_cast<std::size_t>(id)];
  if (!handler) return false;
  // A part's handler may run a dialog, inside which the window must
  // follow what changes; the core's commands tell once, at their end.
  if (interfaceHandlers_[static_cast<std::size_t>(id)]) {
    handler();
  } else {
    const ChangeBatch batch(*this);
    handler();
  }
  return true;
}

void WindowController::setHandler(CommandId id, std::function<void()> handler) {
  handlers_[static_cast<std::size_t>(id)] = std::move(handler);
  interfaceHandlers_[static_cast<std::size_t>(id)] = true;
}

void WindowController::addObserver(WindowObserver& observer) { observers_.push_back(&observer); }

void WindowController::removeObserver(WindowObserver& observer) {
  std::erase(observers_, &observer);
}

void WindowController::setPaths(const SessionPaths& paths) {
  if (paths.oldOriginal == paths_.oldOriginal && paths.newOriginal == paths_.newOriginal &&
      paths.mod == paths_.mod) {
    return;
  }
  paths_ = paths;
  changed(WindowChange::paths);
}

void WindowController::chooseMode(SessionMode mode) {
  chosenMode_ = mode;
  changed(WindowChange::mode | WindowChange::controls | WindowChange::selection);
}

std::u16string WindowController::title() const {
  if (!session_.isOpen()) return u"Sorvane";
  return std::u16string(fileNamePart(modFilePath_)) + u"[*] \u2014 Sorvane";
}

std::array<TranslationProgress::ColourProgress, 4> WindowController::legendCounts() const {
  if (!legendCounts_) legendCounts_ = progress_.colours(session_);
  return *legendCounts_;
}

void WindowController::setSelectedRow(std::int32_t row) {
  if (row == selectedRow_) return;
  selectedRow_ = row;
  changed(WindowChange::selection);
}

void WindowController::selectRow(std::int32_t row, bool centred) {
  // A row the filter hides can't be selected (an undo of a change to it
  // leaves the selection where it is).
  if (row < 0 || row >= session_.rowCount() || !view_.shows(row)) return;
  selectedRow_ = row;
  requested_.reveal = RowReveal{row, centred};
  changed(WindowChange::selection);
}

std::optional<RowInfo> WindowController::selectedRowInfo() const {
  const std::int32_t row = selectedRow_;
  if (row < 0 || row >= session_.rowCount()) return std::nullopt;
  RowInfo info;
  info.section = fromLocal8Bit(session_.rowSectionText(row));
  info.subsection = fromLocal8Bit(session_.rowSubsectionText(row));
  info.comment = fromLocal8Bit(session_.rowComment(row));
  info.form = session_.rowForm(row) + 1;
  info.forms = session_.rowFormCount(row);
  if (info.forms > 1 && session_.modPluralForms()) {
    info.formCounts = countsShowingForm(session_.mod().numerusRulesBlock, info.form - 1);
  }
  info.translation = progress_.state(session_, row);
  for (const Problem& problem : problems_.problemsOf(row)) info.problems.push_back(problem.message);
  if (session_.rowState(row) == RowState::changed) {
    info.change = markedWordDiff(session_.rowOldOriginalText(row), session_.rowOriginalText(row));
  }
  info.oldOriginalLength = session_.rowOldOriginalText(row).size();
  info.originalLength = session_.rowOriginalText(row).size();
  info.modLength = session_.rowModText(row).size();
  return info;
}

void WindowController::openEditors(std::int32_t row) {
  if (row < 0 || row >= session_.rowCount() || row == session_.editRow()) return;
  const ChangeBatch batch(*this);
  endEditing(false);
  // The row being edited is the selected one, whose texts the captions
  // and the info panel show.
  if (row != selectedRow_) selectRow(row);
  session_.setEditRow(row);
  changed(WindowChange::editing);
}

void WindowController::endEditing(bool store) {
  const std::int32_t row = session_.editRow();
  if (row < 0) return;
  const ChangeBatch batch(*this);
  const std::u16string text = store && editedText_ ? editedText_() : std::u16string();
  session_.setEditRow(-1);
  changed(WindowChange::editing);
  if (store) commitEdit(session_, row, text, changeSame_, &view_);
}

void WindowController::setEditedTextSource(std::function<std::u16string()> source) {
  editedText_ = std::move(source);
}

void WindowController::setFindText(std::u16string_view text) {
  const ChangeBatch batch(*this);
  findText_ = text;
  changed(WindowChange::find | WindowChange::controls);
  findRowsFrom(0);
}

void WindowController::setFindInKeys(bool inKeys) {
  if (findScope_.inKeys == inKeys) return;
  findScope_.inKeys = inKeys;
  changed(WindowChange::find);
}

void WindowController::findRowsFrom(std::int32_t start) {
  bool wrapped = false;
  const std::optional<std::int32_t> row =
      findFrom(session_, view_, start, findText_, findScope_, [this, &wrapped] {
        wrapped = true;
        dialogs_.beep();
      });
  findResult_ = findText_.empty() || !session_.isOpen() ? FindResult::none
                : !row                                  ? FindResult::notFound
                : wrapped                               ? FindResult::wrapped
                                                        : FindResult::found;
  changed(WindowChange::find);
  // The found row is brought into view, to the middle when it was out of
  // sight; the focus stays where it is, so typing goes on.
  if (row) selectRow(*row, true);
}

void WindowController::openFoundFile(std::u16string_view path, std::u16string_view searchText) {
  const ChangeBatch batch(*this);
  if (session_.isOpen() && !closeFiles()) return;
  chooseMode(SessionMode::traditional);
  SessionPaths found = paths_;
  found.newOriginal = path;
  found.mod.clear();
  setPaths(found);
  openFiles();
  // Like any change of the find box, the text finds from the top.
  setFindText(searchText);
}

void WindowController::openFiles() {
  if (!state().controls.chooseMode) return;
  const ChangeBatch batch(*this);
  notice_.clear();
  changed(WindowChange::controls);
  SessionPaths paths = paths_;
  const std::u16string typedMod = paths.mod;
  const bool opened = session_.openSession(chosenMode_, paths, dialogs_);
  // The Mod box shows the name chosen for a new Mod, even when Open failed.
  setPaths(paths);
  if (!opened) return;
  modFilePath_ = paths.mod;
  progress_.takeBaseline(session_);
  legendCounts_.reset();
  // What is left is known only now.
  if (filter_.kind == RowKindFilter::left) rebuildView();
  // A mistyped Mod path would look as if the translation were gone.
  if (session_.modIsCopyOfOriginal() && !typedMod.empty()) {
    notice_ = typedMod + u" does not exist: the Mod starts as a copy of the Original";
  }
  // Paired by position, a Mod made for another Original stores texts for
  // the wrong messages.
  if (const std::int32_t mismatched = problems_.mismatchedPairs(); mismatched > 0) {
    notice_ = formatMessage(
        u"%d rows pair messages that differ: this Mod may have been made for another Original. "
        u"Open it in \"Mod update\" with the Original it was made for.",
        {mismatched});
  }
  requested_.focus = FocusTarget::list;
  changed(WindowChange::focus | WindowChange::mode);
  selectRow(view_.rowAt(0));
}

bool WindowController::closeFiles() {
  const ChangeBatch batch(*this);
  if (!session_.closeSession(paths_, dialogs_)) return false;
  notice_.clear();
  modFilePath_.clear();
  requested_.focus = FocusTarget::list;
  changed(WindowChange::controls | WindowChange::mode | WindowChange::focus);
  return true;
}

void WindowController::saveModFile() {
  if (writeModFile(session_, paths_, dialogs_)) {
    modFilePath_ = paths_.mod;
    if (savedHandler_) savedHandler_();
  }
  changed(WindowChange::controls);
}

void WindowController::undoOrRedo(bool undoing) {
  const std::optional<std::int32_t> row = undoing ? undo(session_) : redo(session_);
  if (!row) return;
  // A change of the Mod's language laid the rows out anew: nothing to
  // bring into view. Any other row becomes the selected one.
  if (*row >= 0) selectRow(*row);
  changed(WindowChange::controls | WindowChange::selection);
}

void WindowController::deleteSelectedRowText() {
  if (deleteRowText(session_, selectedRow_)) changed(WindowChange::controls);
}

void WindowController::importFromFile() {
  endEditing(true);
  const std::u16string& folderOf = lastImportPath_.empty() ? paths_.mod : lastImportPath_;
  const std::optional<std::u16string> chosen = dialogs_.chooseFile(
      FileDialogKind::open, DialogOwner::mainWindow,
      u"Exchange files (*.po *.xlf *.xliff *.ts *.txt)|*.po;*.xlf;*.xliff;*.ts;*.txt|"
      u"All files (*.*)|*.*",
      nearestExistingFolder(folderOf), u"");
  if (!chosen) return;
  lastImportPath_ = *chosen;
  const ExchangeFormat format = exchangeFormatOfPath(*chosen);
  if (format == ExchangeFormat::lineList) {
    WideStringList lines;
    if (importTextFile(session_, *chosen, dialogs_, lines)) {
      writeImportSideFiles(lines, session_.mod(), *chosen);
    }
    return;
  }
  if (const std::optional<ImportReport> report =
          importUnitsFile(session_, format, *chosen, dialogs_)) {
    dialogs_.showMessage(DialogOwner::mainWindow, importReportText(*report), u"Import",
                         MessageButtons::ok, MessageIcon::information);
  }
}

void WindowController::removeDroppedRows() {
  const std::int32_t removed = sorvane::removeDroppedRows(session_);
  if (removed == 0) return;
  notice_ = formatMessage(
      u"%d dropped string(s) emptied: their entries leave the Mod file when "
      u"it is saved. Undo puts them back.",
      {removed});
  changed(WindowChange::controls);
}

void WindowController::copyOriginalText() {
  // A new row starts from the original's text.
  if (session_.editRow() < 0) openEditors(selectedRow_);
  const std::int32_t row = session_.editRow();
  if (row < 0 || !session_.rowModEditable(row)) return;
  requested_.editorText = storedForm(originalTextFor(session_, row));
  changed(WindowChange::editorText);
}

void WindowController::putIntoModEditor(std::u16string_view text) {
  const ChangeBatch batch(*this);
  if (session_.editRow() < 0) openEditors(selectedRow_);
  const std::int32_t row = session_.editRow();
  if (row < 0 || !session_.rowModEditable(row)) return;
  requested_.editorText = storedForm(text);
  changed(WindowChange::editorText);
}

std::int32_t WindowController::storeTexts(std::span<const RowText> texts,
                                          std::u16string_view notice) {
  const ChangeBatch batch(*this);
  endEditing(true);
  const std::int32_t stored = storeRowTexts(session_, texts);
  notice_ = formatMessage(notice, {stored});
  changed(WindowChange::controls);
  return stored;
}

void WindowController::changeModLanguage(const std::string& code) {
  const ChangeBatch batch(*this);
  if (const std::optional<PluralLanguage> language = pluralLanguage(code)) {
    askAndChangeModLanguage(session_, *language, dialogs_);
  }
  // Also when cancelled: the box shows the Mod's language again.
  changed(WindowChange::controls);
}

void WindowController::selectRowInState(std::optional<RowState> state, bool backward) {
  const std::optional<std::int32_t> row =
      view_.showsAll() ? nearestRowInState(session_, selectedRow_, state, backward)
                       : view_.nearest(selectedRow_, backward, true, [&](std::int32_t at) {
                           const RowState colour = session_.rowState(at);
                           return state ? colour == *state : colour != RowState::unchanged;
                         });
  if (!row) {
    dialogs_.beep();
    return;
  }
  selectRow(*row);
}

void WindowController::selectProblemRow(bool backward) {
  const std::optional<std::int32_t> row =
      view_.showsAll() ? problems_.nextRow(selectedRow_, backward)
                       : view_.nearest(selectedRow_, backward, true, [this](std::int32_t at) {
                           return problems_.hasProblems(at);
                         });
  if (!row) {
    dialogs_.beep();
    return;
  }
  selectRow(*row, true);
}

bool WindowController::rowLeftToDo(std::int32_t row) const {
  if (!session_.rowModEditable(row)) return false;
  if (session_.mode() == SessionMode::modUpdate) return progress_.left(session_, row);
  return progress_.state(session_, row) != TranslationState::translated ||
         problems_.hasProblems(row);
}

void WindowController::storeAndGoOn() {
  const ChangeBatch batch(*this);
  const std::int32_t from = session_.editRow() >= 0 ? session_.editRow() : selectedRow_;
  endEditing(true);
  const std::optional<std::int32_t> next = view_.nearest(
      from, false, true, [&](std::int32_t row) { return row != from && rowLeftToDo(row); });
  if (!next) {
    dialogs_.beep();
    return;
  }
  openEditors(*next);
}

void WindowController::selectUntranslatedRow(bool backward) {
  const std::optional<std::int32_t> row =
      view_.nearest(selectedRow_, backward, true, [this](std::int32_t at) {
        return session_.rowModEditable(at) &&
               progress_.state(session_, at) != TranslationState::translated;
      });
  if (!row) {
    dialogs_.beep();
    return;
  }
  selectRow(*row, true);
}

std::optional<std::vector<Replacement>> WindowController::findReplacements(
    const ReplaceQuery& query, std::u16string* error) {
  std::optional<TextReplacer> replacer = TextReplacer::compile(query, error);
  if (!replacer) return std::nullopt;
  // A typed text is part of what is searched.
  endEditing(true);
  return sorvane::findReplacements(session_, &view_, *replacer);
}

std::int32_t WindowController::replaceTexts(std::span<const Replacement> replacements) {
  const ChangeBatch batch(*this);
  endEditing(true);
  const std::int32_t replaced = applyReplacements(session_, replacements);
  notice_ = formatMessage(u"%d text(s) replaced. Undo puts them back.", {replaced});
  changed(WindowChange::controls);
  return replaced;
}

bool WindowController::setRowFilter(const RowFilter& filter) {
  if (filter == filter_ && filterError_.empty()) return true;
  const ChangeBatch batch(*this);
  const RowFilter previous = filter_;
  filter_ = filter;
  if (!rebuildView()) {
    filter_ = previous;
    changed(WindowChange::filter);
    return false;
  }
  changed(WindowChange::filter);
  return true;
}

void WindowController::setRowOrder(RowOrder order) {
  if (order == order_) return;
  const ChangeBatch batch(*this);
  order_ = order;
  rebuildView();
  changed(WindowChange::filter);
}

bool WindowController::rebuildView() {
  filterError_.clear();
  if (!filter_.pattern.empty() &&
      !TextMatcher::compile(filter_.pattern, filter_.patternKind, &filterError_)) {
    return false;
  }
  // What is typed goes into its row before the rows change under it.
  endEditing(true);
  const std::int32_t selected = selectedRow_;
  notifyNow(WindowChange::rowsAboutToReset);
  showFilteredRows();
  selectedRow_ = -1;
  notifyNow(WindowChange::rowsReset | WindowChange::selection);
  changed(WindowChange::controls);
  if (view_.shows(selected)) {
    selectRow(selected, true);
  } else if (view_.size() > 0) {
    selectRow(view_.rowAt(0));
  }
  return true;
}

void WindowController::showFilteredRows() {
  const std::int32_t rows = session_.rowCount();
  const bool fileOrder = order_ == RowOrder::file;
  if (fileOrder && filter_.keepsEveryRow()) {
    view_.showAll(rows);
    return;
  }
  if (!fileOrder && contextOrder_.size() != static_cast<std::size_t>(rows)) {
    contextOrder_ = contextOrder(session_);
  }
  if (filter_.keepsEveryRow()) {
    view_.show(contextOrder_, rows);
    return;
  }
  std::optional<std::vector<std::int32_t>> kept =
      filterRows({session_, problems_, progress_},
                 fileOrder ? std::span<const std::int32_t>() : contextOrder_, filter_);
  // Only filters whose pattern compiles are kept.
  if (kept) {
    view_.show(std::move(*kept), rows);
  } else {
    view_.showAll(rows);
  }
}

void WindowController::recheckStoredRows() {
  if (!session_.isOpen()) return;
  // Many rows at once (Change same, an import) are checked afresh: each
  // row's re-check reads its context.
  constexpr std::size_t kRowsRecheckedAlone = 256;
  if (storedRows_.empty() || storedRows_.size() > kRowsRecheckedAlone) {
    checkAllRows();
  } else {
    for (const std::int32_t row : storedRows_) {
      problems_.recheckRow(session_, row);
      progress_.recheckRow(session_, row);
    }
  }
  storedRows_.clear();
}

void WindowController::checkAllRows() {
  // The checks and the counts (with the original's words) side by side.
  runSideBySide([this] { progress_.computeAll(session_); },
                [this] { problems_.checkAll(session_); });
  spellingNext_ = speller_ != nullptr && session_.rowCount() > 0 ? 0 : -1;
}

void WindowController::chooseSpeller() {
  speller_ = nullptr;
  spellingNote_.clear();
  const std::string language = session_.isOpen() ? session_.modLanguage() : std::string();
  if (spellingOn_ && !language.empty()) {
    auto slot = spellers_.find(language);
    if (slot == spellers_.end()) {
      std::unique_ptr<SpellChecker> loaded = SpellChecker::forLanguage(language);
      if (loaded) loaded->loadPersonalWords(personalWordsPath(loaded->dictionaryName()));
      slot = spellers_.emplace(language, std::move(loaded)).first;
    }
    speller_ = slot->second.get();
    if (speller_ == nullptr) spellingNote_ = spellingDictionaryMissing(language);
  }
  problems_.setSpeller(speller_);
}

void WindowController::setSpellingOn(bool on) {
  if (on == spellingOn_) return;
  const ChangeBatch batch(*this);
  spellingOn_ = on;
  chooseSpeller();
  if (session_.isOpen()) {
    if (speller_ != nullptr) {
      spellingNext_ = 0;
    } else {
      // Off: every spelling problem goes.
      spellingNext_ = -1;
      for (std::int32_t row = 0; row < session_.rowCount(); ++row) {
        problems_.checkSpelling(session_, row);
      }
    }
  }
  changed(WindowChange::texts | WindowChange::controls);
}

std::vector<TextWord> WindowController::misspeltWords(std::u16string_view text) const {
  const std::int32_t row = session_.editRow() >= 0 ? session_.editRow() : selectedRow_;
  if (speller_ == nullptr || row < 0 || row >= session_.rowCount()) return {};
  return speller_->misspelt(text, originalTextFor(session_, row));
}

void WindowController::addToDictionary(std::u16string_view word) {
  if (speller_ == nullptr) return;
  if (!speller_->addPersonalWord(word)) {
    dialogs_.showError(DialogOwner::mainWindow, u"The word could not be written to " +
                                                    personalWordsPath(speller_->dictionaryName()) +
                                                    u"; it counts as correct until Sorvane ends.");
  }
  spellingNext_ = 0;
  changed(WindowChange::controls);
}

void WindowController::ignoreWord(std::u16string_view word) {
  if (speller_ == nullptr) return;
  speller_->ignore(word);
  spellingNext_ = 0;
  changed(WindowChange::controls);
}

bool WindowController::runBackgroundWork(std::chrono::milliseconds budget) {
  if (spellingNext_ < 0) return false;
  const ChangeBatch batch(*this);
  const auto start = std::chrono::steady_clock::now();
  const std::int32_t rows = session_.rowCount();
  while (spellingNext_ < rows) {
    problems_.checkSpelling(session_, spellingNext_++);
    constexpr std::int32_t kRowsBetweenClockReads = 16;
    if (spellingNext_ % kRowsBetweenClockReads == 0 &&
        std::chrono::steady_clock::now() - start >= budget) {
      break;
    }
  }
  if (spellingNext_ >= rows) spellingNext_ = -1;
  // The rows' marks and the problem counts.
  changed(WindowChange::texts | WindowChange::controls);
  return spellingNext_ >= 0;
}

void WindowController::rowsAboutToReset() {
  WindowChanges now = WindowChange::rowsAboutToReset;
  // An edit ends unstored with the rows it was on.
  if (session_.editRow() >= 0) {
    session_.setEditRow(-1);
    now |= WindowChange::editing;
  }
  notifyNow(now);
}

void WindowController::rowsReset() {
  storedRows_.clear();
  chooseSpeller();
  if (session_.isOpen()) {
    checkAllRows();
  } else {
    problems_.clear();
    progress_.clear();
    spellingNext_ = -1;
  }
  legendCounts_.reset();
  contextOrder_.clear();
  showFilteredRows();
  selectedRow_ = -1;
  notifyNow(WindowChange::rowsReset | WindowChange::selection);
  changed(WindowChange::controls);
}

void WindowController::rowTextsChanged() {
  recheckStoredRows();
  legendCounts_.reset();
  changed(WindowChange::texts | WindowChange::controls);
}

void WindowController::rowTextStored(std::int32_t row) { storedRows_.push_back(row); }

void WindowController::undoLogCleared() { changed(WindowChange::controls); }

void WindowController::modifiedChanged() { changed(WindowChange::controls); }

void WindowController::changed(WindowChanges changes) {
  pending_ |= changes;
  if (batchDepth_ == 0) flush();
}

void WindowController::notifyNow(WindowChanges changes) {
  const std::vector<WindowObserver*> observers = observers_;
  for (WindowObserver* observer : observers) observer->windowChanged(changes);
}

void WindowController::flush() {
  // What observers change while they are told goes out in the next round.
  if (flushing_) return;
  flushing_ = true;
  constexpr int kMostRounds = 8;
  for (int round = 0; pending_ != 0 && round < kMostRounds; ++round) {
    const WindowChanges changes = pending_;
    pending_ = 0;
    delivered_ = std::exchange(requested_, {});
    notifyNow(changes);
    delivered_ = {};
  }
  pending_ = 0;
  flushing_ = false;
}

WindowController::ChangeBatch::~ChangeBatch() {
  if (--controller_.batchDepth_ == 0) controller_.flush();
}

}  // namespace sorvane
