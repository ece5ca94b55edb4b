#include "session/session.h"

#include "session/match_key.h"

#include <algorithm>
#include <array>

namespace sorvane {

KeyParts entryKey(const QmDocument& document, std::int32_t entry) {
  return {document.hashes[static_cast<std::size_t>(entry)], document.sectionTexts.view(entry),
          document.subsectionTexts.view(entry)};
}

KeyParts Session::keyOfId(std::int32_t id) const {
  const auto at = static_cast<std::size_t>(id);
  if (firstNewEntry_[at] >= 0) return entryKey(newOriginal_, firstNewEntry_[at]);
  if (firstOldEntry_[at] >= 0) return entryKey(oldOriginal_, firstOldEntry_[at]);
  if (firstModEntry_[at] >= 0) return entryKey(mod_, firstModEntry_[at]);
  // A Mod-only key whose every entry was removed.
  const EntryData& removed = removedModOnlyEntries_.at(id);
  return {removed.hash, removed.section, removed.subsection};
}

std::int32_t Session::messageRowCount() const {
  if (!open_) return 0;
  return mode_ == SessionMode::traditional ? newOriginal_.translations.count()
                                           : static_cast<std::int32_t>(rowKeyId_.size());
}

std::int32_t Session::rowCount() const {
  return rowMessage_.empty() ? messageRowCount() : static_cast<std::int32_t>(rowMessage_.size());
}

Session::RowAddress Session::addressOf(std::int32_t row) const {
  if (rowMessage_.empty() || row < 0 || row >= rowCount()) return {row, 0};
  return {rowMessage_[static_cast<std::size_t>(row)], rowForm_[static_cast<std::size_t>(row)]};
}

std::int32_t Session::rowForm(std::int32_t row) const { return addressOf(row).form; }

std::int32_t Session::rowFormCount(std::int32_t row) const {
  if (rowMessage_.empty() || row < 0 || row >= rowCount()) return 1;
  // A message's rows are consecutive, from form 0 on.
  std::size_t last = static_cast<std::size_t>(row);
  while (last + 1 < rowMessage_.size() && rowMessage_[last + 1] == rowMessage_[last]) ++last;
  return rowForm_[last] + 1;
}

bool Session::rowHasOriginalForm(std::int32_t row) const {
  const std::int32_t entry = rowEntries(row).newOriginal;
  return entry >= 0 && addressOf(row).form < newOriginal_.forms.count(entry);
}

void Session::buildFormRows() {
  rowMessage_.clear();
  rowForm_.clear();
  if (oldOriginal_.forms.empty() && newOriginal_.forms.empty() && mod_.forms.empty()) return;
  const auto formsIn = [](const QmDocument& document, std::int32_t entry) {
    return entry < 0 ? 0 : document.forms.count(entry);
  };
  // A plural message shows the forms of the originals and of the Mod's
  // language, whichever are more.
  const std::int32_t modForms = modPluralForms().value_or(1);
  const std::int32_t messages = messageRowCount();
  std::vector<std::int32_t> counts(static_cast<std::size_t>(messages));
  bool anyPlural = false;
  for (std::int32_t message = 0; message < messages; ++message) {
    const RowEntries entries = messageEntries(message);
    const std::int32_t count =
        std::max({1, formsIn(oldOriginal_, entries.oldOriginal),
                  formsIn(newOriginal_, entries.newOriginal), formsIn(mod_, entries.mod)});
    counts[static_cast<std::size_t>(message)] = count > 1 ? std::max(count, modForms) : 1;
    anyPlural = anyPlural || count > 1;
  }
  if (!anyPlural) return;
  for (std::int32_t message = 0; message < messages; ++message) {
    for (std::int32_t form = 0; form < counts[static_cast<std::size_t>(message)]; ++form) {
      rowMessage_.push_back(message);
      rowForm_.push_back(form);
    }
  }
}

bool Session::isPluralEntry(const QmDocument& document, std::int32_t entry) const {
  return entry >= 0 && document.forms.count(entry) > 1;
}

bool Session::isPluralMessage(std::int32_t message) const {
  const RowEntries entries = messageEntries(message);
  return isPluralEntry(oldOriginal_, entries.oldOriginal) ||
         isPluralEntry(newOriginal_, entries.newOriginal) || isPluralEntry(mod_, entries.mod);
}

bool Session::rowModEditable(std::int32_t row) const {
  const std::optional<std::int32_t> forms = modPluralForms();
  return !forms || addressOf(row).form < std::max(*forms, 1);
}

std::int32_t Session::addRowKey(const KeyParts& key, std::uint64_t hash) {
  const auto row = static_cast<std::int32_t>(rowKeyId_.size());
  const std::int32_t id = keyIndex_.findOrAdd(
      hash, row, [this, &key](std::int32_t other) { return keyOfId(other) == key; });
  rowKeyId_.push_back(id);
  firstOldEntry_.push_back(-1);
  firstNewEntry_.push_back(-1);
  firstModEntry_.push_back(-1);
  return id;
}

template <typename Visit>
void Session::forEachEntryKey(const QmDocument& document, Visit visit) {
  // Each key's place in the index is a jump through memory: keys are hashed
  // a few entries ahead and their places fetched while earlier ones are
  // looked up.
  constexpr std::int32_t kAhead = 16;
  struct Ahead {
    KeyParts key;
    std::uint64_t hash = 0;
  };
  std::array<Ahead, kAhead> ahead;
  const std::int32_t count = document.translations.count();
  const auto fetch = [&](std::int32_t i) {
    Ahead& next = ahead[static_cast<std::size_t>(i % kAhead)];
    next.key = entryKey(document, i);
    next.hash = tableHash(next.key);
    keyIndex_.prefetch(next.hash);
  };
  for (std::int32_t i = 0; i < std::min(count, kAhead); ++i) fetch(i);
  for (std::int32_t i = 0; i < count; ++i) {
    const Ahead current = ahead[static_cast<std::size_t>(i % kAhead)];
    if (i + kAhead < count) fetch(i + kAhead);
    visit(i, current.key, current.hash);
  }
}

std::int32_t Session::buildRows() {
  const std::int32_t newCount = newOriginal_.translations.count();
  const std::int32_t oldCount = oldOriginal_.translations.count();
  const std::int32_t modCount = mod_.translations.count();
  const std::size_t mostRows = static_cast<std::size_t>(newCount) + oldCount + modCount;
  // Most keys are the new original's; the table grows for the rest.
  keyIndex_.reserve(static_cast<std::size_t>(newCount));
  // Pages that are never filled hold no memory, so every per-row list can
  // be given room for the most rows there can be.
  for (std::vector<std::int32_t>* perRow :
       {&rowKeyId_, &firstOldEntry_, &firstNewEntry_, &firstModEntry_}) {
    perRow->reserve(mostRows);
  }
  modEntryKeyId_.reserve(static_cast<std::size_t>(modCount));

  // Every entry of the new original is a row, duplicates included.
  forEachEntryKey(newOriginal_, [this](std::int32_t i, const KeyParts& key, std::uint64_t hash) {
    const std::int32_t id = addRowKey(key, hash);
    if (firstNewEntry_[static_cast<std::size_t>(id)] < 0) {
      firstNewEntry_[static_cast<std::size_t>(id)] = i;
    }
  });
  // Keys of the old original and the Mod get a row at their first sight.
  const auto idOf = [this](const KeyParts& key, std::uint64_t hash) {
    const std::int32_t found =
        keyIndex_.find(hash, [this, &key](std::int32_t other) { return keyOfId(other) == key; });
    return found != KeyIndex::kNone ? found : addRowKey(key, hash);
  };
  forEachEntryKey(oldOriginal_, [&](std::int32_t i, const KeyParts& key, std::uint64_t hash) {
    std::int32_t& first = firstOldEntry_[static_cast<std::size_t>(idOf(key, hash))];
    if (first < 0) first = i;
  });
  forEachEntryKey(mod_, [&](std::int32_t i, const KeyParts& key, std::uint64_t hash) {
    const std::int32_t id = idOf(key, hash);
    modEntryKeyId_.push_back(id);
    std::int32_t& first = firstModEntry_[static_cast<std::size_t>(id)];
    if (first < 0) first = i;
  });
  return static_cast<std::int32_t>(rowKeyId_.size());
}

RowEntries Session::rowEntries(std::int32_t row) const {
  if (row < 0 || row >= rowCount()) return {};
  return messageEntries(addressOf(row).message);
}

RowEntries Session::messageEntries(std::int32_t message) const {
  if (message < 0 || message >= messageRowCount()) return {};
  if (mode_ == SessionMode::traditional) return {-1, message, message};
  const auto id = static_cast<std::size_t>(rowKeyId_[static_cast<std::size_t>(message)]);
  return {firstOldEntry_[id], firstNewEntry_[id], firstModEntry_[id]};
}

void Session::prefetchRow(std::int32_t row, int step) const {
  if (row < 0 || row >= rowCount()) return;
  const auto at = static_cast<std::size_t>(row);
  const bool traditional = mode_ == SessionMode::traditional;
  switch (step) {
    case 0:
      if (!rowMessage_.empty()) {
        prefetchMemory(rowMessage_.data() + at);
        prefetchMemory(rowForm_.data() + at);
      }
      return;
    case 1:
      if (!traditional) prefetchMemory(rowKeyId_.data() + addressOf(row).message);
      return;
    case 2:
      if (!traditional) {
        const auto id = static_cast<std::size_t>(rowKeyId_[addressOf(row).message]);
        for (const std::vector<std::int32_t>* first :
             {&firstOldEntry_, &firstNewEntry_, &firstModEntry_}) {
          prefetchMemory(first->data() + id);
        }
      }
      return;
    default: {
      const RowEntries entries = rowEntries(row);
      const auto fetch =
          step == 3 ? &QmDocument::prefetchEntrySlots : &QmDocument::prefetchEntryTexts;
      (oldOriginal_.*fetch)(entries.oldOriginal);
      (newOriginal_.*fetch)(entries.newOriginal);
      (mod_.*fetch)(entries.mod);
    }
  }
}

RowState Session::rowState(std::int32_t row) const {
  if (mode_ == SessionMode::traditional) return RowState::unchanged;
  const RowEntries entries = rowEntries(row);
  // Whether the message is in each original, and whether its text changed,
  // hold for every form row; "in the Mod" is the row's own form, with text.
  const bool inOld = entries.oldOriginal >= 0;
  const bool inNew = entries.newOriginal >= 0;
  const std::int32_t form = addressOf(row).form;
  const bool inMod = entries.mod >= 0 && !mod_.formText(entries.mod, form).empty();
  // A Mod-only string whose every text was deleted is in none of the files.
  if (!inOld && !inNew && entries.mod < 0) return RowState::unchanged;
  if (!inOld && !inMod && inNew) return RowState::newString;
  if (!inNew && inOld && inMod) return RowState::dropped;
  if (inOld && inNew) {
    const std::int32_t forms = std::max(oldOriginal_.forms.count(entries.oldOriginal),
                                        newOriginal_.forms.count(entries.newOriginal));
    for (std::int32_t k = 0; k < forms; ++k) {
      if (oldOriginal_.formText(entries.oldOriginal, k) !=
              newOriginal_.formText(entries.newOriginal, k) ||
          (k > 0 && (k < oldOriginal_.forms.count(entries.oldOriginal)) !=
                        (k < newOriginal_.forms.count(entries.newOriginal)))) {
        return RowState::changed;
      }
    }
  }
  if (!inOld && !inNew) return RowState::onlyInMod;
  return RowState::unchanged;
}

std::u16string_view Session::rowOldOriginalText(std::int32_t row) const {
  return oldOriginal_.formText(rowEntries(row).oldOriginal, addressOf(row).form);
}

std::u16string_view Session::rowOriginalText(std::int32_t row) const {
  return newOriginal_.formText(rowEntries(row).newOriginal, addressOf(row).form);
}

std::u16string_view Session::rowModText(std::int32_t row) const {
  return mod_.formText(rowEntries(row).mod, addressOf(row).form);
}

// In "Mod update" a row's key is read from the file that holds it.
std::string_view Session::rowSectionText(std::int32_t row) const {
  const std::int32_t message = addressOf(row).message;
  if (mode_ == SessionMode::traditional) return newOriginal_.sectionTexts.view(message);
  if (message < 0 || message >= messageRowCount()) return {};
  return keyOfId(rowKeyId_[static_cast<std::size_t>(message)]).section;
}

std::string_view Session::rowComment(std::int32_t row) const {
  const RowEntries entries = rowEntries(row);
  if (entries.newOriginal >= 0) return newOriginal_.comments.view(entries.newOriginal);
  if (entries.oldOriginal >= 0) return oldOriginal_.comments.view(entries.oldOriginal);
  return mod_.comments.view(entries.mod);
}

std::string_view Session::rowSubsectionText(std::int32_t row) const {
  const std::int32_t message = addressOf(row).message;
  if (mode_ == SessionMode::traditional) return newOriginal_.subsectionTexts.view(message);
  if (message < 0 || message >= messageRowCount()) return {};
  return keyOfId(rowKeyId_[static_cast<std::size_t>(message)]).subsection;
}

std::int32_t Session::firstModEntryWithKeyOf(std::int32_t modEntry) const {
  if (mode_ == SessionMode::traditional) return modEntry;
  return firstModEntry_[static_cast<std::size_t>(
      modEntryKeyId_[static_cast<std::size_t>(modEntry)])];
}

void Session::setFormText(std::int32_t entry, std::int32_t form, std::u16string_view text,
                          bool plural) {
  // In a plural message an emptied form is "no translation", so that Qt
  // shows the source text for its counts; where the Mod's language decides
  // the forms, they all stay.
  const bool languageForms = plural && modPluralForms().has_value();
  if (form == 0) {
    mod_.translations.set(entry, text);
    if (plural && text.empty()) {
      mod_.forms.setMarks(entry, mod_.forms.marks(entry) | EntryForms::kFirstAbsent);
    }
  } else {
    mod_.forms.setText(entry, form, text, languageForms);
    if (plural && text.empty()) mod_.forms.setAbsent(entry, form, true);
  }
  if (languageForms && mod_.forms.count(entry) < *modPluralForms()) {
    mod_.forms.resize(entry, *modPluralForms());
  }
}

bool Session::allFormsEmpty(std::int32_t entry) const {
  for (std::int32_t form = 0; form < mod_.forms.count(entry); ++form) {
    if (!mod_.formText(entry, form).empty()) return false;
  }
  return true;
}

void Session::setModified(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  if (listener_ != nullptr) listener_->modifiedChanged();
}

bool Session::replaceModTexts(const WideStringList& lines) {
  // Line i becomes text i, one for one: the lines were split once, and
  // that split is the one whose count was checked.
  std::int32_t expected = 0;
  for (std::int32_t entry = 0; entry < mod_.translations.count(); ++entry) {
    expected += mod_.forms.empty() ? 1 : mod_.forms.count(entry);
  }
  if (lines.count() != expected) return false;
  const BatchedChanges batch(*this);
  if (mod_.forms.empty()) {
    mod_.translations = lines;
  } else {
    std::int32_t line = 0;
    for (std::int32_t entry = 0; entry < mod_.translations.count(); ++entry) {
      const std::int32_t forms = mod_.forms.count(entry);
      mod_.translations.set(entry, lines.view(line++));
      for (std::int32_t form = 1; form < forms; ++form) {
        mod_.forms.setText(entry, form, lines.view(line++), true);
      }
    }
  }
  batchChangedTexts_ = true;
  return true;
}

void Session::setRowModText(std::int32_t row, std::u16string_view text) {
  if (row < 0 || row >= rowCount()) return;
  const RowAddress address = addressOf(row);
  const bool plural = isPluralMessage(address.message);
  if (mode_ == SessionMode::traditional) {
    setFormText(address.message, address.form, text, plural);
  } else {
    // A Mod entry goes when its last non-empty form is emptied, and comes
    // back with the first text stored for any of its forms.
    const std::int32_t entry = rowEntries(row).mod;
    if (entry < 0) {
      if (!text.empty()) appendModEntry(address.message, address.form, text);
    } else {
      setFormText(entry, address.form, text, plural);
      if (text.empty() && allFormsEmpty(entry)) removeModEntry(entry);
    }
  }
  if (listener_ != nullptr) listener_->rowTextStored(row);
  if (batchDepth_ > 0) {
    batchChangedTexts_ = true;
  } else if (listener_ != nullptr) {
    listener_->rowTextsChanged();
  }
}

Session::BatchedChanges::~BatchedChanges() {
  if (--session_.batchDepth_ > 0 || !session_.batchChangedTexts_) return;
  session_.batchChangedTexts_ = false;
  if (session_.listener_ != nullptr) session_.listener_->rowTextsChanged();
}

Session::EntryData Session::messageData(std::int32_t message) const {
  const std::int32_t id = rowKeyId_[static_cast<std::size_t>(message)];
  const RowEntries entries = messageEntries(message);
  if (entries.newOriginal >= 0 || entries.oldOriginal >= 0) {
    const QmDocument& source = entries.newOriginal >= 0 ? newOriginal_ : oldOriginal_;
    const std::int32_t entry = entries.newOriginal >= 0 ? entries.newOriginal : entries.oldOriginal;
    return {source.hashes[static_cast<std::size_t>(entry)],
            std::string(source.sectionTexts.view(entry)),
            std::string(source.subsectionTexts.view(entry)),
            std::string(source.comments.view(entry)),
            source.forms.marks(entry) & EntryForms::kShapeMarks};
  }
  if (const auto removed = removedModOnlyEntries_.find(id);
      removed != removedModOnlyEntries_.end()) {
    return removed->second;
  }
  return {};
}

void Session::appendModEntry(std::int32_t message, std::int32_t form, std::u16string_view text) {
  const std::int32_t id = rowKeyId_[static_cast<std::size_t>(message)];
  const EntryData data = messageData(message);
  const bool plural = isPluralMessage(message);
  const std::int32_t newEntry = mod_.translations.count();
  mod_.translations.add(form == 0 ? text : std::u16string_view());
  mod_.hashes.push_back(data.hash);
  mod_.sectionTexts.add(data.section);
  mod_.subsectionTexts.add(data.subsection);
  if (!data.comment.empty()) mod_.comments.set(newEntry, data.comment);
  // A message that gets a text for a later form only has no translation
  // for its first form yet: Qt then shows the source text, not nothing.
  const unsigned marks = data.shapeMarks | (form > 0 ? EntryForms::kFirstAbsent : 0);
  if (marks != 0) mod_.forms.set(newEntry, marks, {});
  if (form > 0) mod_.forms.setText(newEntry, form, text);
  // A plural message has the forms of the Mod's language, the others "no
  // translation".
  if (plural && modPluralForms() && mod_.forms.count(newEntry) < *modPluralForms()) {
    mod_.forms.resize(newEntry, *modPluralForms());
  }
  modEntryKeyId_.push_back(id);
  firstModEntry_[static_cast<std::size_t>(id)] = newEntry;
}

void Session::removeModEntry(std::int32_t entry) {
  const std::int32_t id = modEntryKeyId_[static_cast<std::size_t>(entry)];
  if (firstNewEntry_[static_cast<std::size_t>(id)] < 0 &&
      firstOldEntry_[static_cast<std::size_t>(id)] < 0) {
    removedModOnlyEntries_[id] = {
        mod_.hashes[static_cast<std::size_t>(entry)], std::string(mod_.sectionTexts.view(entry)),
        std::string(mod_.subsectionTexts.view(entry)), std::string(mod_.comments.view(entry)),
        mod_.forms.marks(entry) & EntryForms::kShapeMarks};
  }
  mod_.removeEntry(entry);
  modEntryKeyId_.erase(modEntryKeyId_.begin() + entry);

  // Entries after the removed one moved up by one; the removed key's first
  // entry is now its next one, if any.
  for (std::int32_t& first : firstModEntry_) {
    if (first > entry) --first;
  }
  const auto next = std::find(modEntryKeyId_.begin() + entry, modEntryKeyId_.end(), id);
  firstModEntry_[static_cast<std::size_t>(id)] =
      next == modEntryKeyId_.end() ? -1 : static_cast<std::int32_t>(next - modEntryKeyId_.begin());
}

}  // namespace sorvane
