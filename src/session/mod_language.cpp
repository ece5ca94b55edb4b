// The Mod's language, and the snapshots of Mod messages that undo and redo
// put back.

#include "session/session.h"

#include <algorithm>

namespace sorvane {

std::string Session::modLanguage() const {
  return {mod_.languageBlock.begin(), mod_.languageBlock.end()};
}

std::optional<std::int32_t> Session::modPluralForms() const {
  if (mod_.languageBlock.empty() && mod_.numerusRulesBlock.empty()) return std::nullopt;
  return pluralFormCount(mod_.numerusRulesBlock);
}

std::int32_t Session::formsDroppedBy(const PluralLanguage& language) const {
  std::int32_t dropped = 0;
  for (std::int32_t entry = 0; entry < mod_.translations.count(); ++entry) {
    for (std::int32_t form = language.forms; form < mod_.forms.count(entry); ++form) {
      if (!mod_.formText(entry, form).empty()) ++dropped;
    }
  }
  return dropped;
}

void Session::setModLanguage(const PluralLanguage& language) {
  // Which entries are plural messages is decided before any form changes.
  std::vector<std::int32_t> plural;
  for (std::int32_t entry = 0; entry < mod_.translations.count(); ++entry) {
    if (isPluralModEntry(entry)) plural.push_back(entry);
  }
  mod_.languageBlock.assign(language.code.begin(), language.code.end());
  mod_.numerusRulesBlock = language.rules;
  for (const std::int32_t entry : plural) mod_.forms.resize(entry, language.forms);
  relayRows();
}

bool Session::isPluralModEntry(std::int32_t entry) const {
  if (isPluralEntry(mod_, entry)) return true;
  if (mode_ == SessionMode::traditional) return isPluralEntry(newOriginal_, entry);
  const auto id = static_cast<std::size_t>(modEntryKeyId_[static_cast<std::size_t>(entry)]);
  return isPluralEntry(oldOriginal_, firstOldEntry_[id]) ||
         isPluralEntry(newOriginal_, firstNewEntry_[id]);
}

void Session::relayRows() {
  if (listener_ != nullptr) listener_->rowsAboutToReset();
  editRow_ = -1;
  buildFormRows();
  if (listener_ != nullptr) listener_->rowsReset();
}

ModMessage Session::modMessage(std::int32_t entry) const {
  ModMessage message;
  if (entry < 0 || entry >= mod_.translations.count()) return message;
  message.present = true;
  message.entry = entry;
  message.hash = mod_.hashes[static_cast<std::size_t>(entry)];
  message.section = mod_.sectionTexts.view(entry);
  message.subsection = mod_.subsectionTexts.view(entry);
  message.comment = mod_.comments.view(entry);
  message.marks = mod_.forms.marks(entry);
  for (std::int32_t form = 0; form < mod_.forms.count(entry); ++form) {
    message.forms.push_back(
        {std::u16string(mod_.formText(entry, form)), mod_.forms.absent(entry, form)});
  }
  return message;
}

ModSnapshot Session::rowSnapshot(std::int32_t row) const {
  ModSnapshot snapshot;
  snapshot.rows.emplace_back(row, modMessage(rowEntries(row).mod));
  return snapshot;
}

ModSnapshot Session::languageSnapshot() const {
  ModSnapshot snapshot;
  snapshot.language = ModSnapshot::Language{mod_.languageBlock, mod_.numerusRulesBlock};
  for (std::int32_t entry = 0; entry < mod_.translations.count(); ++entry) {
    if (isPluralModEntry(entry)) snapshot.entries.emplace_back(entry, modMessage(entry));
  }
  return snapshot;
}

ModSnapshot Session::currentStateOf(const ModSnapshot& snapshot) const {
  ModSnapshot current;
  if (snapshot.language) {
    current.language = ModSnapshot::Language{mod_.languageBlock, mod_.numerusRulesBlock};
  }
  for (const auto& [entry, message] : snapshot.entries) {
    current.entries.emplace_back(entry, modMessage(entry));
  }
  for (const auto& [row, message] : snapshot.rows) {
    current.rows.emplace_back(row, modMessage(rowEntries(row).mod));
  }
  return current;
}

void Session::restore(const ModSnapshot& snapshot) {
  const BatchedChanges batch(*this);
  if (snapshot.language) {
    mod_.languageBlock = snapshot.language->languageBlock;
    mod_.numerusRulesBlock = snapshot.language->numerusRulesBlock;
    for (const auto& [entry, message] : snapshot.entries) {
      if (entry < mod_.translations.count()) setEntryForms(entry, message);
    }
    relayRows();
  }
  for (const auto& [row, message] : snapshot.rows) {
    if (row < 0 || row >= rowCount()) continue;
    restoreModMessage(row, message);
    if (listener_ != nullptr) listener_->rowTextStored(row);
  }
  batchChangedTexts_ = true;
}

void Session::setEntryForms(std::int32_t entry, const ModMessage& message) {
  mod_.translations.set(entry, message.forms.empty() ? std::u16string_view()
                                                     : std::u16string_view(message.forms[0].text));
  std::vector<EntryForms::Form> more;
  for (std::size_t form = 1; form < message.forms.size(); ++form) {
    more.push_back({message.forms[form].text, message.forms[form].absent});
  }
  mod_.forms.set(entry, message.marks, more);
}

void Session::restoreModMessage(std::int32_t row, const ModMessage& message) {
  const std::int32_t current = rowEntries(row).mod;
  if (mode_ == SessionMode::traditional) {
    setEntryForms(addressOf(row).message, message);
    return;
  }
  if (!message.present) {
    if (current >= 0) removeModEntry(current);
  } else if (current >= 0) {
    setEntryForms(current, message);
  } else {
    insertModEntry(rowKeyId_[static_cast<std::size_t>(addressOf(row).message)], message);
  }
}

void Session::insertModEntry(std::int32_t id, const ModMessage& message) {
  // Back where it stood, so that entries with the same key keep their order.
  const std::int32_t at = std::clamp(message.entry, 0, mod_.translations.count());
  std::vector<EntryForms::Form> more;
  for (std::size_t form = 1; form < message.forms.size(); ++form) {
    more.push_back({message.forms[form].text, message.forms[form].absent});
  }
  mod_.insertEntry(
      at,
      message.forms.empty() ? std::u16string_view() : std::u16string_view(message.forms[0].text),
      message.hash, message.section, message.subsection, message.comment, message.marks, more);
  modEntryKeyId_.insert(modEntryKeyId_.begin() + at, id);
  for (std::int32_t& first : firstModEntry_) {
    if (first >= at) ++first;
  }
  std::int32_t& first = firstModEntry_[static_cast<std::size_t>(id)];
  if (first < 0 || first > at) first = at;
}

}  // namespace sorvane
