#include "session/translation_progress.h"

#include "checks/word_count.h"
#include "session/row_problems.h"

namespace sorvane {

void TranslationProgress::clear() {
  states_.clear();
  words_.clear();
  counts_ = {};
}

void TranslationProgress::computeAll(const Session& session) {
  clear();
  languagesDiffer_ = modLanguageDiffersFromOriginal(session);
  const std::int32_t messages = session.messageCount();
  states_.assign(static_cast<std::size_t>(messages), TranslationState::translated);
  words_.assign(static_cast<std::size_t>(messages), -1);
  WordCounter counter;
  for (std::int32_t row = 0; row < session.rowCount(); row += session.rowFormCount(row)) {
    const auto message = static_cast<std::size_t>(session.rowMessage(row));
    if (session.rowEntries(row).newOriginal < 0) continue;
    words_[message] = counter.count(originalTextFor(session, row));
    states_[message] = messageState(session, row, languagesDiffer_);
    tally(static_cast<std::int32_t>(message), 1);
  }
}

void TranslationProgress::tally(std::int32_t message, int sign) {
  const auto at = static_cast<std::size_t>(message);
  const Tally one{sign, sign * static_cast<std::int64_t>(words_[at])};
  const auto add = [&one](Tally& to) {
    to.messages += one.messages;
    to.words += one.words;
  };
  add(counts_.all);
  switch (states_[at]) {
    case TranslationState::translated:
      add(counts_.translated);
      break;
    case TranslationState::untranslated:
      add(counts_.untranslated);
      break;
    case TranslationState::incomplete:
      add(counts_.incomplete);
      break;
  }
}

void TranslationProgress::recheckRow(const Session& session, std::int32_t row) {
  if (row < 0 || row >= session.rowCount()) return;
  const std::int32_t message = session.rowMessage(row);
  if (static_cast<std::size_t>(message) >= states_.size() ||
      words_[static_cast<std::size_t>(message)] < 0) {
    return;
  }
  tally(message, -1);
  states_[static_cast<std::size_t>(message)] = messageState(session, row, languagesDiffer_);
  tally(message, 1);
}

TranslationState TranslationProgress::state(const Session& session, std::int32_t row) const {
  const auto message = static_cast<std::size_t>(session.rowMessage(row));
  return message < states_.size() ? states_[message] : TranslationState::translated;
}

std::int32_t TranslationProgress::words(const Session& session, std::int32_t row) const {
  const auto message = static_cast<std::size_t>(session.rowMessage(row));
  return message < words_.size() ? std::max(words_[message], 0) : 0;
}

// The Mod message's forms with text, as one number; 0 when the Mod has no
// entry for it. A form added without text (a language with more forms)
// changes nothing.
std::uint64_t TranslationProgress::modHash(const Session& session, std::int32_t row) const {
  if (session.rowEntries(row).mod < 0) return 0;
  const std::int32_t first = firstRowOfMessage(session, row);
  std::int32_t last = first + session.rowFormCount(first);
  while (last > first + 1 && session.rowModText(last - 1).empty()) --last;
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (std::int32_t form = first; form < last; ++form) {
    for (const char16_t unit : session.rowModText(form)) {
      hash = (hash ^ unit) * 0x100000001B3ULL;
    }
    hash = (hash ^ 0x10000U) * 0x100000001B3ULL;
  }
  return hash | 1;
}

void TranslationProgress::takeBaseline(const Session& session) {
  const std::int32_t messages = session.messageCount();
  hashAtOpen_.assign(static_cast<std::size_t>(messages), 0);
  colourAtOpen_.assign(static_cast<std::size_t>(messages), RowState::unchanged);
  for (std::int32_t row = 0; row < session.rowCount(); row += session.rowFormCount(row)) {
    const auto message = static_cast<std::size_t>(session.rowMessage(row));
    hashAtOpen_[message] = modHash(session, row);
    colourAtOpen_[message] = session.rowState(row);
  }
}

bool TranslationProgress::changedSinceOpen(const Session& session, std::int32_t row) const {
  const auto message = static_cast<std::size_t>(session.rowMessage(row));
  return message < hashAtOpen_.size() && modHash(session, row) != hashAtOpen_[message];
}

bool TranslationProgress::seenTo(const Session& session, std::int32_t row) const {
  const auto message = static_cast<std::size_t>(session.rowMessage(row));
  if (message >= colourAtOpen_.size()) return false;
  const RowState colour = colourAtOpen_[message];
  return (colour == RowState::newString || colour == RowState::changed) &&
         changedSinceOpen(session, row);
}

bool TranslationProgress::left(const Session& session, std::int32_t row) const {
  const auto message = static_cast<std::size_t>(session.rowMessage(row));
  if (message >= colourAtOpen_.size()) return false;
  const RowState colour = colourAtOpen_[message];
  if (colour == RowState::unchanged) return false;
  return colour == RowState::newString || colour == RowState::changed
             ? !changedSinceOpen(session, row)
             : session.rowState(row) == colour;
}

std::array<TranslationProgress::ColourProgress, 4> TranslationProgress::colours(
    const Session& session) const {
  std::array<ColourProgress, 4> colours{};
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    const auto message = static_cast<std::size_t>(session.rowMessage(row));
    if (message >= colourAtOpen_.size()) break;
    const RowState colour = colourAtOpen_[message];
    if (colour == RowState::unchanged) continue;
    ColourProgress& progress = colours[static_cast<std::size_t>(colour)];
    ++progress.rows;
    if (left(session, row)) ++progress.left;
  }
  return colours;
}

}  // namespace sorvane
