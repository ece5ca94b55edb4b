#include "session/row_problems.h"

#include "platform/message_format.h"
#include "platform/text_codec.h"
#include "session/translation_state.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace sorvane {

std::u16string_view originalTextFor(const Session& session, std::int32_t row) {
  if (session.rowHasOriginalForm(row)) return session.rowOriginalText(row);
  const std::int32_t entry = session.rowEntries(row).newOriginal;
  return entry < 0 ? std::u16string_view() : session.newOriginal().formText(entry, 0);
}

namespace {

// Whether Qt can find a Mod entry by its index hash: where the record
// names a source text, the hash must be the one of that text and the
// comment.
bool hashFits(const QmDocument& mod, std::int32_t entry) {
  const unsigned marks = mod.forms.marks(entry);
  const std::string_view section = mod.sectionTexts.view(entry);
  const bool hasSource =
      (marks & EntryForms::kContextTwice) == 0 &&
      ((marks & (EntryForms::kSourceOnly | EntryForms::kSourceAndContext)) != 0 ||
       !mod.subsectionTexts.view(entry).empty());
  return !hasSource || qtMessageHash(section, mod.comments.view(entry)) ==
                           mod.hashes[static_cast<std::size_t>(entry)];
}

// What Qt tells entries apart by, viewed in the Mod document while it is
// checked.
struct EntryKey {
  std::uint32_t hash;
  std::string_view sourceText;
  std::string_view comment;
  std::string_view context;

  bool operator==(const EntryKey&) const = default;
  struct Hash {
    std::size_t operator()(const EntryKey& key) const {
      const std::hash<std::string_view> text;
      return key.hash ^ (text(key.sourceText) * 3) ^ (text(key.comment) * 5) ^
             (text(key.context) * 7);
    }
  };
};

}  // namespace

void RowProblems::clear() {
  flagged_.clear();
  letters_.clear();
  problems_.clear();
  fixed_.clear();
  spelling_.clear();
  mismatchedPairs_ = 0;
  contextOfRow_.clear();
  contextStart_.clear();
  contextRows_.clear();
  rowsWithProblems_ = 0;
}

// A row's context is its subsection text; a row without one is a context
// of its own, so that rows of unrelated messages never clash.
void RowProblems::groupByContext(const Session& session) {
  const std::int32_t rows = session.rowCount();
  std::unordered_map<std::string_view, std::int32_t> ids;
  contextOfRow_.assign(static_cast<std::size_t>(rows), 0);
  std::vector<std::int32_t> sizes;
  for (std::int32_t row = 0; row < rows; ++row) {
    const std::string_view subsection = session.rowSubsectionText(row);
    std::int32_t id = static_cast<std::int32_t>(sizes.size());
    if (!subsection.empty()) id = ids.emplace(subsection, id).first->second;
    if (id == static_cast<std::int32_t>(sizes.size())) sizes.push_back(0);
    ++sizes[static_cast<std::size_t>(id)];
    contextOfRow_[static_cast<std::size_t>(row)] = id;
  }
  contextStart_.assign(sizes.size() + 1, 0);
  for (std::size_t id = 0; id < sizes.size(); ++id) {
    contextStart_[id + 1] = contextStart_[id] + sizes[id];
  }
  std::vector<std::int32_t> next(contextStart_.begin(), contextStart_.end() - 1);
  contextRows_.assign(static_cast<std::size_t>(rows), 0);
  for (std::int32_t row = 0; row < rows; ++row) {
    const auto id = static_cast<std::size_t>(contextOfRow_[static_cast<std::size_t>(row)]);
    contextRows_[static_cast<std::size_t>(next[id]++)] = row;
  }
}

std::span<const std::int32_t> RowProblems::rowsOfContext(std::int32_t context) const {
  const auto start = static_cast<std::size_t>(contextStart_[static_cast<std::size_t>(context)]);
  const auto end = static_cast<std::size_t>(contextStart_[static_cast<std::size_t>(context) + 1]);
  return std::span<const std::int32_t>(contextRows_).subspan(start, end - start);
}

void RowProblems::checkAll(const Session& session) {
  clear();
  const std::int32_t rows = session.rowCount();
  flagged_.assign(static_cast<std::size_t>(rows), 0);
  letters_.assign(static_cast<std::size_t>(rows), {});

  // Entries of a Mod file made for Qt that Qt never reaches: a hash that is
  // not its message's, or a key an earlier entry has.
  const QmDocument& mod = session.mod();
  if (mod.qtRecords || mod.hasQtBlocks()) {
    std::unordered_set<EntryKey, EntryKey::Hash> seen;
    std::vector<std::int32_t> entryRow(static_cast<std::size_t>(mod.translations.count()), -1);
    for (std::int32_t row = rows - 1; row >= 0; --row) {
      if (session.rowForm(row) != 0) continue;
      const std::int32_t entry = session.rowEntries(row).mod;
      if (entry >= 0) entryRow[static_cast<std::size_t>(entry)] = row;
    }
    for (std::int32_t entry = 0; entry < mod.translations.count(); ++entry) {
      const std::int32_t first = session.firstModEntryWithKeyOf(entry);
      const std::int32_t row = entryRow[static_cast<std::size_t>(first)];
      if (row < 0) continue;
      if (first != entry) {
        fixed_[row].push_back({CheckKind::lookup,
                               u"An entry of the Mod file with the same key comes after this one: "
                               u"Qt never reaches it"});
      } else if (!hashFits(mod, entry)) {
        fixed_[row].push_back({CheckKind::lookup,
                               u"Qt will never find this entry: its hash is not the one of its "
                               u"source text and comment"});
      }
      // Two entries of one key in a Traditional Mod are two rows; the second
      // is never reached either.
      if (session.mode() == SessionMode::traditional) {
        const EntryKey key{mod.hashes[static_cast<std::size_t>(entry)],
                           mod.sectionTexts.view(entry), mod.comments.view(entry),
                           mod.subsectionTexts.view(entry)};
        if (!seen.insert(key).second) {
          fixed_[row].push_back({CheckKind::lookup,
                                 u"An earlier entry of the Mod file has the same key: Qt never "
                                 u"reaches this one"});
        }
      }
    }
  }

  if (session.mode() == SessionMode::traditional) checkPairing(session);
  groupByContext(session);
  for (std::int32_t row = 0; row < rows; ++row) checkRow(session, row);
  for (std::size_t context = 0; context + 1 < contextStart_.size(); ++context) {
    const std::span<const std::int32_t> contextRows =
        rowsOfContext(static_cast<std::int32_t>(context));
    if (contextRows.size() > 1) checkClashes(contextRows);
  }
}

void RowProblems::checkPairing(const Session& session) {
  // A Mod made from its Original keeps every entry's key; one made for
  // another Original is paired by position all the same.
  const QmDocument& original = session.newOriginal();
  const QmDocument& mod = session.mod();
  for (std::int32_t row = 0; row < session.rowCount(); row += session.rowFormCount(row)) {
    const std::int32_t entry = session.rowMessage(row);
    if (entry >= mod.translations.count() || entryKey(original, entry) == entryKey(mod, entry)) {
      continue;
    }
    ++mismatchedPairs_;
    const std::u16string source = fromLocal8Bit(mod.sectionTexts.view(entry));
    const std::u16string message = formatMessage(
        u"The Mod's entry here is another message's (source text \"%s\"): this Mod may have "
        u"been made for another Original",
        {source.empty() ? std::u16string(mod.translations.view(entry)) : source});
    for (std::int32_t form = row; form < row + session.rowFormCount(row); ++form) {
      fixed_[form].push_back({CheckKind::pairing, message});
    }
  }
}

void RowProblems::recheckRow(const Session& session, std::int32_t row) {
  if (row < 0 || static_cast<std::size_t>(row) >= flagged_.size()) return;
  const char16_t before = letters_[static_cast<std::size_t>(row)].first;
  checkRow(session, row);
  checkSpelling(session, row);
  // The other forms of a plural message: whether all have a text is theirs too.
  const std::int32_t first = firstRowOfMessage(session, row);
  for (std::int32_t form = first; form < first + session.rowFormCount(first); ++form) {
    if (form != row) checkRow(session, form);
  }
  const char16_t after = letters_[static_cast<std::size_t>(row)].first;
  // Only the rows of its context that share the Mod's accelerator letter
  // it had or has can clash anew or stop clashing.
  std::vector<std::int32_t> sharing;
  for (const std::int32_t other : rowsOfContext(contextOfRow_[static_cast<std::size_t>(row)])) {
    const char16_t letter = letters_[static_cast<std::size_t>(other)].first;
    if (letter == 0 || (letter != before && letter != after)) continue;
    if (other != row) checkRow(session, other);
    sharing.push_back(other);
  }
  checkClashes(sharing);
}

void RowProblems::checkRow(const Session& session, std::int32_t row) {
  const std::u16string_view original = originalTextFor(session, row);
  const std::u16string_view mod = session.rowModText(row);
  const TextTraits originalTraits = traitsOf(original);
  const TextTraits modTraits = mod == original ? originalTraits : traitsOf(mod);
  letters_[static_cast<std::size_t>(row)] = {modTraits.accelerator, originalTraits.accelerator};
  std::vector<Problem> problems = checkTranslation(original, originalTraits, mod, modTraits);
  // Qt shows a plural message only when every form has a text.
  const std::int32_t forms = session.rowFormCount(row);
  if (forms > 1 && messageState(session, row, false) == TranslationState::incomplete) {
    problems.push_back(
        {CheckKind::pluralForms,
         formatMessage(u"Qt shows the source text for every count until all %d forms have a text",
                       {session.modPluralForms().value_or(forms)})});
  }
  if (const auto fixed = fixed_.find(row); fixed != fixed_.end()) {
    problems.insert(problems.end(), fixed->second.begin(), fixed->second.end());
  }
  if (const auto spelling = spelling_.find(row); spelling != spelling_.end()) {
    problems.push_back(spelling->second);
  }
  setProblems(row, std::move(problems));
}

void RowProblems::checkSpelling(const Session& session, std::int32_t row) {
  if (row < 0 || static_cast<std::size_t>(row) >= flagged_.size()) return;
  std::optional<Problem> found;
  if (speller_ != nullptr) {
    const std::u16string_view mod = session.rowModText(row);
    const std::u16string_view original = originalTextFor(session, row);
    // An untranslated text is the original's, in another language.
    if (!mod.empty() && mod != original) {
      std::u16string words;
      for (const TextWord word : speller_->misspelt(mod, original)) {
        if (!words.empty()) words += u", ";
        words += mod.substr(word.start, word.length);
      }
      if (!words.empty()) found = Problem{CheckKind::spelling, u"Spelling: " + words};
    }
  }
  const auto had = spelling_.find(row);
  if (!found && had == spelling_.end()) return;
  if (found && had != spelling_.end() && had->second.message == found->message) return;
  std::vector<Problem> problems = problemsOf(row);
  std::erase_if(problems,
                [](const Problem& problem) { return problem.check == CheckKind::spelling; });
  if (found) {
    problems.push_back(*found);
    spelling_[row] = *std::move(found);
  } else {
    spelling_.erase(row);
  }
  setProblems(row, std::move(problems));
}

void RowProblems::checkClashes(std::span<const std::int32_t> rows) {
  // The rows with an accelerator in both texts, by the Mod's letter.
  std::vector<std::int32_t> users;
  for (const std::int32_t row : rows) {
    const auto [mod, original] = letters_[static_cast<std::size_t>(row)];
    if (mod != 0 && original != 0) users.push_back(row);
  }
  if (users.size() < 2) return;
  std::stable_sort(users.begin(), users.end(), [this](std::int32_t left, std::int32_t right) {
    return letters_[static_cast<std::size_t>(left)].first <
           letters_[static_cast<std::size_t>(right)].first;
  });
  for (auto first = users.begin(); first != users.end();) {
    const char16_t letter = letters_[static_cast<std::size_t>(*first)].first;
    const auto last = std::find_if(first, users.end(), [&](std::int32_t row) {
      return letters_[static_cast<std::size_t>(row)].first != letter;
    });
    // Two rows clash when the original tells them apart by their letters
    // and the Mod gives both the same one.
    for (auto user = first; user != last; ++user) {
      const char16_t original = letters_[static_cast<std::size_t>(*user)].second;
      const auto other = std::find_if(first, last, [&](std::int32_t row) {
        return letters_[static_cast<std::size_t>(row)].second != original;
      });
      if (other == last) continue;
      std::vector<Problem> problems = problemsOf(*user);
      problems.push_back(
          {CheckKind::acceleratorClash,
           formatMessage(u"The accelerator &%s is also the one of row %d, in the same context",
                         {std::u16string(1, letter), *other})});
      setProblems(*user, std::move(problems));
    }
    first = last;
  }
}

void RowProblems::setProblems(std::int32_t row, std::vector<Problem> problems) {
  std::uint8_t& flag = flagged_[static_cast<std::size_t>(row)];
  const bool has = !problems.empty();
  rowsWithProblems_ += static_cast<std::int32_t>(has) - static_cast<std::int32_t>(flag);
  flag = has ? 1 : 0;
  if (has) {
    problems_[row] = std::move(problems);
  } else {
    problems_.erase(row);
  }
}

const std::vector<Problem>& RowProblems::problemsOf(std::int32_t row) const {
  static const std::vector<Problem> kNone;
  const auto found = problems_.find(row);
  return found == problems_.end() ? kNone : found->second;
}

bool RowProblems::hasProblems(std::int32_t row) const {
  return row >= 0 && static_cast<std::size_t>(row) < flagged_.size() &&
         flagged_[static_cast<std::size_t>(row)] != 0;
}

std::optional<std::int32_t> RowProblems::nextRow(std::int32_t from, bool backward) const {
  const auto rows = static_cast<std::int32_t>(flagged_.size());
  if (rowsWithProblems_ == 0 || rows == 0) return std::nullopt;
  for (std::int32_t step = 1; step <= rows; ++step) {
    std::int32_t row = backward ? from - step : from + step;
    row = ((row % rows) + rows) % rows;
    if (flagged_[static_cast<std::size_t>(row)] != 0) return row;
  }
  return std::nullopt;
}

}  // namespace sorvane
