#pragma once

#include "session/row_view.h"
#include "session/session.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

// The editing operations behind the row editors, Delete, Undo and Redo.
// Every change goes through the session's undo log and marks the session
// modified; the user interface only shows the results.

// An edited text as it is stored: every CR removed, and nothing from the
// first U+0000 on.
std::u16string storedForm(std::u16string_view editorText);

// Stores the edited text of a row when it differs from the row's Mod text:
// in "Traditional" an empty text is not stored; in "Mod update" it removes
// the row's Mod entry. With changeSame ("Traditional" only), every other row
// with exactly the same original text gets the text too, in ascending order,
// each with its own log entry; with shownRows, only the rows it shows.
// Returns whether anything was stored.
bool commitEdit(Session& session, std::int32_t row, std::u16string_view storedText, bool changeSame,
                const RowView* shownRows = nullptr);

// Empties a row's Mod text ("Mod update": removes its Mod entry) as an
// undoable change. Nothing happens when the text already is empty.
bool deleteRowText(Session& session, std::int32_t row);

// A text for a row, as many changes store them.
struct RowText {
  std::int32_t row = 0;
  std::u16string text;
};

// Stores the texts (each stored as setRowModText does) as one undoable
// change: one undo puts every message back as it was. Rows whose text is
// already the one given, or that take no text, are left out. Returns how
// many rows changed.
std::int32_t storeRowTexts(Session& session, std::span<const RowText> texts);

// "Mod update": empties the Mod text of every dropped row (the entry leaves
// the Mod file) as one undoable change; returns the number of messages.
std::int32_t removeDroppedRows(Session& session);

// Gives the Mod another language (its plural rules and forms) as one
// undoable change. False, with nothing changed, when it has that language
// already or no files are open. The caller asked the user first when
// forms with text go (Session::formsDroppedBy).
bool changeModLanguage(Session& session, const PluralLanguage& language);
// The same, asking first (OK or Cancel) when forms that hold text would be
// dropped; false when the user cancelled or nothing changed.
bool askAndChangeModLanguage(Session& session, const PluralLanguage& language,
                             DialogServices& dialogs);

// Undoes or redoes one logged change, putting back the Mod message (or the
// Mod's language) exactly as it was; returns the row it changed (-1 for
// the language), or nothing when there was nothing to undo or redo.
std::optional<std::int32_t> undo(Session& session);
std::optional<std::int32_t> redo(Session& session);

}  // namespace sorvane
