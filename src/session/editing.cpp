#include "session/editing.h"

#include "platform/dialog_services.h"
#include "platform/message_format.h"

#include <memory>

namespace sorvane {

namespace {

std::u16string fromAscii(std::string_view text) { return {text.begin(), text.end()}; }

// Logs a change of the row about to be made, with its Mod message whole.
void logRowChange(Session& session, std::int32_t row) {
  session.undoLog().push(row, session.rowModText(row),
                         std::make_shared<const ModSnapshot>(session.rowSnapshot(row)));
}

}  // namespace

std::u16string storedForm(std::u16string_view editorText) {
  // A text ends at U+0000, as a QM file's texts do: what an editor pastes
  // after one is not stored.
  editorText = editorText.substr(0, editorText.find(u'\0'));
  std::u16string stored;
  stored.reserve(editorText.size());
  for (char16_t unit : editorText) {
    if (unit != u'\r') stored.push_back(unit);
  }
  return stored;
}

bool commitEdit(Session& session, std::int32_t row, std::u16string_view storedText, bool changeSame,
                const RowView* shownRows) {
  if (row < 0 || row >= session.rowCount()) return false;
  const bool traditional = session.mode() == SessionMode::traditional;
  if (storedText == session.rowModText(row) || (storedText.empty() && traditional)) return false;

  if (!session.rowModEditable(row)) return false;
  const Session::BatchedChanges batch(session);
  logRowChange(session, row);
  session.setRowModText(row, storedText);
  // A plural form the original lacks has no original text to be the same as.
  if (traditional && changeSame && session.rowHasOriginalForm(row)) {
    // The original is copied: storing texts may move the session's strings.
    const std::u16string original(session.rowOriginalText(row));
    for (std::int32_t other = 0; other < session.rowCount(); ++other) {
      if (other == row || session.rowOriginalText(other) != original ||
          !session.rowHasOriginalForm(other) || (shownRows && !shownRows->shows(other))) {
        continue;
      }
      logRowChange(session, other);
      session.setRowModText(other, storedText);
    }
  }
  session.setModified(true);
  return true;
}

bool deleteRowText(Session& session, std::int32_t row) {
  if (row < 0 || row >= session.rowCount() || session.rowModText(row).empty() ||
      !session.rowModEditable(row)) {
    return false;
  }
  logRowChange(session, row);
  session.setRowModText(row, u"");
  session.setModified(true);
  return true;
}

std::int32_t storeRowTexts(Session& session, std::span<const RowText> texts) {
  std::vector<const RowText*> changes;
  for (const RowText& change : texts) {
    if (change.row < 0 || change.row >= session.rowCount() || !session.rowModEditable(change.row) ||
        session.rowModText(change.row) == change.text) {
      continue;
    }
    changes.push_back(&change);
  }
  if (changes.empty()) return 0;
  // Each message once, as it is before any of the changes.
  auto snapshot = std::make_shared<ModSnapshot>();
  std::int32_t lastMessage = -1;
  for (const RowText* change : changes) {
    const std::int32_t message = session.rowMessage(change->row);
    if (message == lastMessage) continue;
    lastMessage = message;
    snapshot->rows.push_back(session.rowSnapshot(change->row).rows.front());
  }
  const std::int32_t first = changes.front()->row;
  session.undoLog().push(first, session.rowModText(first), std::move(snapshot));
  const Session::BatchedChanges batch(session);
  for (const RowText* change : changes) session.setRowModText(change->row, change->text);
  session.setModified(true);
  return static_cast<std::int32_t>(changes.size());
}

std::int32_t removeDroppedRows(Session& session) {
  if (session.mode() != SessionMode::modUpdate) return 0;
  std::vector<RowText> emptied;
  std::int32_t messages = 0;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowState(row) != RowState::dropped || session.rowModText(row).empty()) continue;
    if (session.rowForm(row) == 0 || emptied.empty() ||
        session.rowMessage(emptied.back().row) != session.rowMessage(row)) {
      ++messages;
    }
    emptied.push_back({row, {}});
  }
  storeRowTexts(session, emptied);
  return messages;
}

bool changeModLanguage(Session& session, const PluralLanguage& language) {
  if (!session.isOpen() || session.modLanguage() == language.code) return false;
  session.undoLog().push(-1, fromAscii(session.modLanguage()),
                         std::make_shared<const ModSnapshot>(session.languageSnapshot()));
  session.setModLanguage(language);
  session.setModified(true);
  return true;
}

bool askAndChangeModLanguage(Session& session, const PluralLanguage& language,
                             DialogServices& dialogs) {
  if (!session.isOpen()) return false;
  if (const std::int32_t dropped = session.formsDroppedBy(language); dropped > 0) {
    const MessageAnswer answer = dialogs.showMessage(
        DialogOwner::mainWindow,
        formatMessage(u"In %s the Mod's plural messages have %d form(s): %d form(s) that hold "
                      u"text would be dropped.\r\nChange the language anyway?",
                      {fromAscii(language.code), language.forms, dropped}),
        u"Mod language", MessageButtons::okCancel, MessageIcon::exclamation);
    if (answer != MessageAnswer::ok) return false;
  }
  return changeModLanguage(session, language);
}

namespace {

// Puts back what a logged change replaced and returns its row; the state
// it replaces in turn is kept for the way back.
std::optional<std::int32_t> applyLogged(Session& session, const UndoLog::Entry& entry,
                                        bool undoing) {
  if (entry.row >= session.rowCount()) return std::nullopt;
  const bool language = entry.row < 0;
  const std::u16string replacedText =
      language ? fromAscii(session.modLanguage()) : std::u16string(session.rowModText(entry.row));
  std::shared_ptr<const ModSnapshot> replaced;
  if (entry.snapshot) {
    replaced = std::make_shared<const ModSnapshot>(session.currentStateOf(*entry.snapshot));
  }
  if (undoing) {
    session.undoLog().markUndone(entry.row, replacedText, std::move(replaced));
  } else {
    session.undoLog().markRedone(entry.row, replacedText, std::move(replaced));
  }
  if (entry.snapshot) {
    session.restore(*entry.snapshot);
  } else if (!language) {
    session.setRowModText(entry.row, entry.text);
  }
  session.setModified(true);
  return entry.row;
}

}  // namespace

std::optional<std::int32_t> undo(Session& session) {
  const std::optional<UndoLog::Entry> entry = session.undoLog().undoEntry();
  if (!entry) return std::nullopt;
  return applyLogged(session, *entry, true);
}

std::optional<std::int32_t> redo(Session& session) {
  const std::optional<UndoLog::Entry> entry = session.undoLog().redoEntry();
  if (!entry) return std::nullopt;
  return applyLogged(session, *entry, false);
}

}  // namespace sorvane
