#include "session/editing.h"

namespace sorvane {

std::u16string storedForm(std::u16string_view editorText) {
  std::u16string stored;
  stored.reserve(editorText.size());
  for (char16_t unit : editorText) {
    if (unit != u'\r') stored.push_back(unit);
  }
  return stored;
}

bool commitEdit(Session& session, std::int32_t row, std::u16string_view storedText,
                bool changeSame) {
  if (row < 0 || row >= session.rowCount()) return false;
  const bool traditional = session.mode() == SessionMode::traditional;
  if (storedText == session.rowModText(row) || (storedText.empty() && traditional)) return false;

  const Session::BatchedChanges batch(session);
  session.undoLog().push(row, session.rowModText(row));
  session.setRowModText(row, storedText);
  // A plural form the original lacks has no original text to be the same as.
  if (traditional && changeSame && session.rowHasOriginalForm(row)) {
    // The original is copied: storing texts may move the session's strings.
    const std::u16string original(session.rowOriginalText(row));
    for (std::int32_t other = 0; other < session.rowCount(); ++other) {
      if (other == row || session.rowOriginalText(other) != original ||
          !session.rowHasOriginalForm(other)) {
        continue;
      }
      session.undoLog().push(other, session.rowModText(other));
      session.setRowModText(other, storedText);
    }
  }
  session.setModified(true);
  return true;
}

bool deleteRowText(Session& session, std::int32_t row) {
  if (row < 0 || row >= session.rowCount() || session.rowModText(row).empty()) return false;
  session.undoLog().push(row, session.rowModText(row));
  session.setRowModText(row, u"");
  session.setModified(true);
  return true;
}

std::optional<std::int32_t> undo(Session& session) {
  const std::optional<UndoLog::Entry> entry = session.undoLog().undoEntry();
  if (!entry || entry->row >= session.rowCount()) return std::nullopt;
  session.undoLog().markUndone(entry->row, session.rowModText(entry->row));
  session.setRowModText(entry->row, entry->text);
  session.setModified(true);
  return entry->row;
}

std::optional<std::int32_t> redo(Session& session) {
  const std::optional<UndoLog::Entry> entry = session.undoLog().redoEntry();
  if (!entry || entry->row >= session.rowCount()) return std::nullopt;
  session.undoLog().markRedone(entry->row, session.rowModText(entry->row));
  session.setRowModText(entry->row, entry->text);
  session.setModified(true);
  return entry->row;
}

}  // namespace sorvane
