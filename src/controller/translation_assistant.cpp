#include "controller/translation_assistant.h"

#include "controller/window_controller.h"
#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "session/row_problems.h"
#include "widetext/word_diff.h"

#include <algorithm>

namespace sorvane {

namespace {

std::u16string memoryFailure(std::u16string_view path, std::u16string_view reason) {
  return u"The translation memory " + std::u16string(path) + u" can't be used (" +
         std::u16string(reason) + u"). Sorvane works on without suggestions.";
}

}  // namespace

TranslationAssistant::TranslationAssistant(WindowController& controller, std::u16string memoryPath,
                                           std::function<void()> wake)
    : controller_(controller), path_(std::move(memoryPath)), wake_(std::move(wake)) {
  if (path_.empty()) {
    memoryError_ = memoryFailure(u"", u"there is no home folder");
  } else {
    std::u16string reason;
    memory_ = TranslationMemory::open(path_, reason);
    if (!memory_) memoryError_ = memoryFailure(path_, reason);
  }
  if (memory_) {
    lookupThread_ = std::thread([this] { lookupLoop(); });
    learnThread_ = std::thread([this] { learnLoop(); });
  }
  controller_.setHandler(CommandId::pretranslate, [this] { pretranslate(); });
  for (const auto& [id, index] :
       {std::pair{CommandId::useSuggestion1, 0U}, std::pair{CommandId::useSuggestion2, 1U},
        std::pair{CommandId::useSuggestion3, 2U}, std::pair{CommandId::useSuggestion4, 3U},
        std::pair{CommandId::useSuggestion5, 4U}}) {
    controller_.setHandler(id, [this, i = index] { useSuggestion(i); });
  }
  controller_.setSavedHandler([this] { learnFromMod(); });
  controller_.addObserver(*this);
}

TranslationAssistant::~TranslationAssistant() {
  for (const CommandId id :
       {CommandId::pretranslate, CommandId::useSuggestion1, CommandId::useSuggestion2,
        CommandId::useSuggestion3, CommandId::useSuggestion4, CommandId::useSuggestion5}) {
    controller_.setHandler(id, {});
  }
  controller_.setSavedHandler({});
  controller_.removeObserver(*this);
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wakeWorkers_.notify_all();
  if (lookupThread_.joinable()) lookupThread_.join();
  if (learnThread_.joinable()) learnThread_.join();
}

void TranslationAssistant::windowChanged(WindowChanges changes) {
  if ((changes & (WindowChange::rowsReset | WindowChange::rowsAboutToReset)) != 0) {
    reworded_.reset();
    row_ = -2;  // shown anew below, whatever the row
  }
  if ((changes & (WindowChange::selection | WindowChange::rowsReset | WindowChange::controls)) !=
      0) {
    const std::int32_t selected =
        controller_.session().isOpen() ? controller_.state().selectedRow : -1;
    if (selected != row_) showRow(selected);
  }
}

void TranslationAssistant::refresh() { showRow(row_ < 0 ? controller_.state().selectedRow : row_); }

void TranslationAssistant::setNote(std::u16string note) {
  note_ = std::move(note);
  if (changed_) changed_();
}

void TranslationAssistant::showRow(std::int32_t row) {
  const Session& session = controller_.session();
  row_ = row;
  shown_.clear();
  rewordedShown_ = 0;
  std::unique_lock lock(mutex_);
  ++ticket_;
  request_.reset();
  result_.reset();
  lock.unlock();
  if (row < 0 || row >= session.rowCount()) return setNote({});
  const std::u16string_view original = originalTextFor(session, row);

  // A new row of "Mod update" first offers the dropped rows it rewords.
  if (session.mode() == SessionMode::modUpdate && session.rowState(row) == RowState::newString) {
    if (!reworded_) reworded_ = std::make_unique<RewordedIndex>(session);
    for (const RewordedMatch& match : reworded_->matches(session, row)) {
      if (shown_.size() == kShown) break;
      const std::u16string_view old = session.rowOldOriginalText(match.row);
      shown_.push_back({match.score, std::u16string(session.rowModText(match.row)),
                        markedWordDiff(old, session.rowOriginalText(row)),
                        formatMessage(u"dropped row %d", {match.row + 1})});
    }
    rewordedShown_ = shown_.size();
  }
  const std::string language = memoryLanguage(session.modLanguage());
  if (!memory_) return setNote(memoryError_);
  if (original.empty()) return setNote(shown_.empty() ? u"No suggestions" : u"");
  if (language.empty()) {
    return setNote(shown_.empty() ? u"Suggestions need the Mod's language: choose it below" : u"");
  }
  lock.lock();
  Request request;
  request.ticket = ticket_;
  request.text = std::u16string(original);
  request.original = request.text;
  request.query.targetLanguage = language;
  request.query.context = std::string(session.rowSubsectionText(row));
  request_ = std::move(request);
  lock.unlock();
  wakeWorkers_.notify_all();
  setNote(shown_.empty() ? u"Looking up\u2026" : u"");
}

void TranslationAssistant::lookupLoop() {
  std::unique_lock lock(mutex_);
  while (true) {
    wakeWorkers_.wait(lock, [this] { return stopping_ || request_.has_value(); });
    if (stopping_) return;
    Request request = std::move(*request_);
    request_.reset();
    lock.unlock();
    Result result;
    result.ticket = request.ticket;
    result.original = std::move(request.original);
    if (std::optional<std::vector<MemorySuggestion>> found =
            memory_->lookup(request.text, request.query, result.error)) {
      result.suggestions = std::move(*found);
    }
    lock.lock();
    // A lookup for a row no longer selected is dropped here.
    if (result.ticket != ticket_) continue;
    result_ = std::move(result);
    lock.unlock();
    if (wake_) wake_();
    lock.lock();
  }
}

void TranslationAssistant::deliver() {
  std::unique_lock lock(mutex_);
  if (!result_ || result_->ticket != ticket_) return;
  Result result = std::move(*result_);
  result_.reset();
  lock.unlock();
  if (!result.error.empty()) {
    return setNote(shown_.empty() ? memoryFailure(path_, result.error) : u"");
  }
  for (MemorySuggestion& suggestion : result.suggestions) {
    if (shown_.size() == kShown) break;
    const bool offered = std::any_of(
        shown_.begin(), shown_.end(),
        [&](const ShownSuggestion& shown) { return shown.target == suggestion.target; });
    if (offered) continue;
    shown_.push_back({suggestion.score, std::move(suggestion.target),
                      suggestion.source == result.original
                          ? std::u16string()
                          : markedWordDiff(suggestion.source, result.original),
                      std::u16string(fileNamePart(suggestion.origin))});
  }
  setNote(shown_.empty() ? u"No suggestions" : u"");
}

void TranslationAssistant::useSuggestion(std::size_t i) {
  if (i >= shown_.size() || row_ != controller_.state().selectedRow) {
    controller_.dialogs().beep();
    return;
  }
  controller_.putIntoModEditor(shown_[i].target);
}

void TranslationAssistant::pretranslate() {
  DialogServices& dialogs = controller_.dialogs();
  const Session& session = controller_.session();
  if (!memory_) {
    dialogs.showMessage(DialogOwner::mainWindow, memoryError_, std::nullopt, MessageButtons::ok,
                        MessageIcon::exclamation);
    return;
  }
  if (memoryLanguage(session.modLanguage()).empty()) {
    dialogs.showMessage(DialogOwner::mainWindow,
                        u"The Mod names no language. Choose the Mod's language first, so that "
                        u"the memory's translations in it can be found.",
                        std::nullopt, MessageButtons::ok, MessageIcon::exclamation);
    return;
  }
  // A typed text counts: its row is translated then.
  controller_.endEditing(true);
  std::u16string error;
  const std::optional<std::vector<RowText>> texts =
      pretranslations(session, &controller_.view(), *memory_, error);
  if (!texts) {
    dialogs.showMessage(DialogOwner::mainWindow, memoryFailure(path_, error), std::nullopt,
                        MessageButtons::ok, MessageIcon::exclamation);
    return;
  }
  if (texts->empty()) {
    dialogs.showMessage(DialogOwner::mainWindow,
                        u"The memory holds no translation of exactly the original text of any "
                        u"untranslated row shown.",
                        std::nullopt, MessageButtons::ok, MessageIcon::information);
    return;
  }
  controller_.storeTexts(*texts, u"%d row(s) pretranslated from the memory. Undo empties them.");
}

void TranslationAssistant::learnFromMod() {
  if (!memory_) return;
  std::vector<MemorySegment> segments = sessionSegments(controller_.session());
  if (segments.empty()) return;
  {
    const std::lock_guard lock(mutex_);
    learning_.emplace_back(controller_.modFilePath(), std::move(segments));
  }
  wakeWorkers_.notify_all();
}

std::u16string TranslationAssistant::waitForLearning() {
  std::unique_lock lock(mutex_);
  learnt_.wait(lock, [this] { return (learning_.empty() && !learningBusy_) || stopping_; });
  return learnError_;
}

void TranslationAssistant::learnLoop() {
  // Its own connection, so that a long transaction never holds up a lookup.
  std::u16string error;
  std::unique_ptr<TranslationMemory> writer = TranslationMemory::open(path_, error);
  std::unique_lock lock(mutex_);
  while (true) {
    wakeWorkers_.wait(lock, [this] { return stopping_ || !learning_.empty(); });
    if (stopping_) break;
    auto [origin, segments] = std::move(learning_.front());
    learning_.pop_front();
    learningBusy_ = true;
    lock.unlock();
    const bool learnt = writer && writer->add(segments, origin, error);
    lock.lock();
    learningBusy_ = false;
    learnError_ = learnt ? std::u16string() : error;
    learnt_.notify_all();
  }
  learnt_.notify_all();
}

}  // namespace sorvane
