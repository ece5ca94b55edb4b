#pragma once

#include "platform/file_identity.h"
#include "qm/plural_rules.h"
#include "qm/qm_document.h"
#include "session/key_index.h"
#include "session/match_key.h"
#include "session/mod_message.h"
#include "session/undo_log.h"
#include "widetext/byte_string_list.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sorvane {

class DialogServices;

enum class SessionMode {
  traditional,  // an Original and its Mod, paired by position
  modUpdate,    // old original, new original and Mod, paired by match key
};

// The texts of the three path boxes, read at the moment of use.
struct SessionPaths {
  std::u16string oldOriginal;  // "Old original file:"
  std::u16string newOriginal;  // "Original file:" or "New original file:"
  std::u16string mod;          // "Mod file:"
};

// What a row's colour tells in "Mod update", by the first rule that holds.
enum class RowState {
  newString,  // not in the old original and not in the Mod
  dropped,    // not in the new original, in the old one and in the Mod
  changed,    // in both originals with different texts
  onlyInMod,  // in neither original
  unchanged,  // anything else, and every row in "Traditional"
};

// Where a row's key first occurs in each document; -1 when it doesn't.
struct RowEntries {
  std::int32_t oldOriginal = -1;
  std::int32_t newOriginal = -1;
  std::int32_t mod = -1;
};

// The match key of a document's entry, as views into the document.
KeyParts entryKey(const QmDocument& document, std::int32_t entry);

// Lets the user interface follow the session without the session knowing it.
class SessionListener {
 public:
  virtual ~SessionListener() = default;
  // The rows are about to be replaced (opened or emptied): end any editing
  // without committing it. Always followed by rowsReset.
  virtual void rowsAboutToReset() {}
  // The rows were replaced; the row count may have changed.
  virtual void rowsReset() {}
  // A row's Mod text was stored: redraw.
  virtual void rowTextsChanged() {}
  // The Mod text of one row was stored (a bulk change tells only
  // rowTextsChanged).
  virtual void rowTextStored(std::int32_t /*row*/) {}
  // The undo and redo log must be emptied (the session is being closed).
  virtual void undoLogCleared() {}
  // The modified flag changed.
  virtual void modifiedChanged() {}
};

// The working state behind the main window: the mode, the three documents,
// the rows that pair their entries, and the modified flag.
//
// In "Mod update" each row stands for a match key; a row's entry in a
// document is the first entry with that key. Those first matches are kept in
// an index (by the key's first row), so a row's texts are found without
// searching the key lists.
class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void setListener(SessionListener* listener) { listener_ = listener; }

  // Reads the files named by paths and pairs them into rows. With an empty
  // Mod path the Mod starts as a copy of the Original and paths.mod gets a
  // free name beside it; a Mod path naming no file also starts from a copy,
  // but one that can't be checked fails.
  // On failure the reason has been shown and nothing stays loaded.
  bool openSession(SessionMode mode, SessionPaths& paths, DialogServices& dialogs);
  // Asks to save unsaved changes, then empties the session. False when the
  // user kept the changes (or saving them failed); nothing changes then.
  bool closeSession(const SessionPaths& paths, DialogServices& dialogs);
  // Empties all data.
  void resetSession();

  bool isOpen() const { return open_; }
  // Whether the open Mod started as a copy of the Original because no Mod
  // file was there.
  bool modIsCopyOfOriginal() const { return modIsCopyOfOriginal_; }
  SessionMode mode() const { return mode_; }
  bool modified() const { return modified_; }
  void setModified(bool modified);
  std::int32_t editRow() const { return editRow_; }
  void setEditRow(std::int32_t row) { editRow_ = row; }

  // One row a translation: a plural message has a row for each form, one
  // after the other. Messages pair as they do without plural forms; within
  // a message, form k pairs with form k, and a form one document lacks has
  // an empty text there.
  std::int32_t rowCount() const;
  RowEntries rowEntries(std::int32_t row) const;
  // The messages the rows show, each with one row a form; a row's message
  // (the row it would be without plural forms).
  std::int32_t messageCount() const { return messageRowCount(); }
  std::int32_t rowMessage(std::int32_t row) const { return addressOf(row).message; }
  // Which plural form a row is (0 for a message with one form), and how
  // many forms its message has.
  std::int32_t rowForm(std::int32_t row) const;
  std::int32_t rowFormCount(std::int32_t row) const;
  // Whether the (new) original has the row's form at all.
  bool rowHasOriginalForm(std::int32_t row) const;
  // Whether the row's Mod cell takes a text: every row but those of plural
  // forms that the Mod's language doesn't have.
  bool rowModEditable(std::int32_t row) const;
  RowState rowState(std::int32_t row) const;
  // The row's texts; empty when the row has no entry in that document.
  std::u16string_view rowOldOriginalText(std::int32_t row) const;
  std::u16string_view rowOriginalText(std::int32_t row) const;
  std::u16string_view rowModText(std::int32_t row) const;
  // The row's section and subsection texts, from the new original, or from
  // the file that holds the row's string when the new original doesn't.
  std::string_view rowSectionText(std::int32_t row) const;
  // The row's Qt comment (its disambiguation), from the same file.
  std::string_view rowComment(std::int32_t row) const;
  std::string_view rowSubsectionText(std::int32_t row) const;

  // Stores a row's Mod text. In "Mod update" an empty text removes the
  // row's Mod entry and a text for a row without one appends an entry.
  void setRowModText(std::int32_t row, std::u16string_view text);

  // Replaces every Mod text at once by the lines, one a translation in the
  // Mod's entry order (every plural form on its own line), as the export
  // file holds them. Not an undoable change. False, with nothing changed,
  // when the number of lines is not the number of texts.
  bool replaceModTexts(const WideStringList& lines);

  // The Mod's language: its language block ("ru_RU"); empty when it has
  // none. A new Mod starts with the Original's.
  std::string modLanguage() const;
  // How many forms a plural message has in the Mod's language; nothing when
  // the Mod names no language (a file without Qt's blocks), where each
  // message keeps the forms it has.
  std::optional<std::int32_t> modPluralForms() const;
  // How many plural forms that hold text setting the language would drop.
  std::int32_t formsDroppedBy(const PluralLanguage& language) const;
  // Gives the Mod the language's block and plural rules, and every plural
  // message of the Mod the language's number of forms (new ones "no
  // translation"); the rows are laid out anew. Not logged here.
  void setModLanguage(const PluralLanguage& language);

  // The state an undoable change replaces, and putting it back: the Mod
  // message of a row, or the Mod's language with the forms it gave.
  ModSnapshot rowSnapshot(std::int32_t row) const;
  ModSnapshot languageSnapshot() const;
  // The state now at the places the snapshot names, to go back to.
  ModSnapshot currentStateOf(const ModSnapshot& snapshot) const;
  void restore(const ModSnapshot& snapshot);

  // The Mod file as the session last read or saved it: its path, and what
  // the file was then (nothing for a new Mod, which had no file).
  struct ModFileRecord {
    std::u16string path;
    std::optional<FileIdentity> identity;
  };
  const ModFileRecord& modFileRecord() const { return modFileRecord_; }
  // After a save: the file at path is the Mod's now.
  void recordModFile(std::u16string_view path) {
    modFileRecord_ = {std::u16string(path), fileIdentity(path)};
  }

  // The undo and redo log; emptied when the session closes.
  UndoLog& undoLog() { return undoLog_; }
  const UndoLog& undoLog() const { return undoLog_; }

  // While one lives, stored Mod texts are announced to the listener once,
  // when the outermost one ends, instead of once per row.
  class BatchedChanges {
   public:
    explicit BatchedChanges(Session& session) : session_(session) { ++session_.batchDepth_; }
    ~BatchedChanges();
    BatchedChanges(const BatchedChanges&) = delete;
    BatchedChanges& operator=(const BatchedChanges&) = delete;

   private:
    Session& session_;
  };

  const QmDocument& oldOriginal() const { return oldOriginal_; }
  const QmDocument& newOriginal() const { return newOriginal_; }
  const QmDocument& mod() const { return mod_; }
  // Starts fetching what reading a row takes, in kRowPrefetchSteps steps
  // from 0, each once the one before has had time to arrive: for rows read
  // out of their order, a few rows ahead.
  static constexpr int kRowPrefetchSteps = 5;
  void prefetchRow(std::int32_t row, int step) const;

  // The Mod entry written for Mod entry j's key: the first with that key.
  std::int32_t firstModEntryWithKeyOf(std::int32_t modEntry) const;

 private:
  // Fills the key lists and the index; returns the row count.
  std::int32_t buildRows();
  // Lays out the rows of plural forms once the documents are paired.
  void buildFormRows();
  struct RowAddress {
    std::int32_t message;  // the row as it would be without plural forms
    std::int32_t form;
  };
  RowAddress addressOf(std::int32_t row) const;
  std::int32_t messageRowCount() const;
  RowEntries messageEntries(std::int32_t message) const;
  void setFormText(std::int32_t entry, std::int32_t form, std::u16string_view text, bool plural);
  // Whether a message is a plural one: the Mod's entry for it, or one of
  // the originals', has more than one form.
  bool isPluralMessage(std::int32_t message) const;
  bool isPluralEntry(const QmDocument& document, std::int32_t entry) const;
  bool isPluralModEntry(std::int32_t entry) const;
  ModMessage modMessage(std::int32_t entry) const;
  void restoreModMessage(std::int32_t row, const ModMessage& message);
  void setEntryForms(std::int32_t entry, const ModMessage& message);
  void insertModEntry(std::int32_t id, const ModMessage& message);
  // Lays the rows out anew around a change of their number.
  void relayRows();
  bool allFormsEmpty(std::int32_t entry) const;
  std::int32_t addRowKey(const KeyParts& key, std::uint64_t hash);
  // Calls visit(entry, key, hash) for every entry of the document in order.
  template <typename Visit>
  void forEachEntryKey(const QmDocument& document, Visit visit);
  // The key of a key id, from the first entry that has it.
  KeyParts keyOfId(std::int32_t id) const;
  void appendModEntry(std::int32_t message, std::int32_t form, std::u16string_view text);
  void removeModEntry(std::int32_t entry);

  struct EntryData {
    std::uint32_t hash = 0;
    std::string section;
    std::string subsection;
    std::string comment;
    unsigned shapeMarks = 0;  // EntryForms::kShapeMarks of the record
  };
  // What identifies a message, for one the Mod doesn't hold.
  EntryData messageData(std::int32_t message) const;

  SessionListener* listener_ = nullptr;
  ModFileRecord modFileRecord_;
  int batchDepth_ = 0;
  bool batchChangedTexts_ = false;
  UndoLog undoLog_;
  SessionMode mode_ = SessionMode::traditional;
  bool open_ = false;
  bool modIsCopyOfOriginal_ = false;
  bool modified_ = false;
  std::int32_t editRow_ = -1;

  QmDocument oldOriginal_;
  QmDocument newOriginal_;
  QmDocument mod_;
  // The index. A key is named by the first row that has it (its key id);
  // the keys themselves are read from the documents' entries.
  KeyIndex keyIndex_;                        // key -> key id
  std::vector<std::int32_t> rowKeyId_;       // per row
  std::vector<std::int32_t> firstOldEntry_;  // per key id
  std::vector<std::int32_t> firstNewEntry_;  // per key id
  std::vector<std::int32_t> firstModEntry_;  // per key id
  std::vector<std::int32_t> modEntryKeyId_;  // per Mod entry
  // Rows of plural forms: empty without plural messages, when a row is a
  // message; otherwise row r is form rowForm_[r] of message rowMessage_[r].
  std::vector<std::int32_t> rowMessage_;
  std::vector<std::int32_t> rowForm_;
  // Hash and texts of removed Mod entries whose key is in neither original,
  // by key id, so that storing a text for the row again restores them.
  std::unordered_map<std::int32_t, EntryData> removedModOnlyEntries_;
};

}  // namespace sorvane
