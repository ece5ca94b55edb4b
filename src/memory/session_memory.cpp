#include "memory/session_memory.h"

#include "memory/match_text.h"
#include "session/row_view.h"
#include "session/translation_state.h"

#include <algorithm>
#include <unordered_map>

namespace sorvane {

std::string originalLanguageOf(const Session& session) {
  const std::vector<std::uint8_t>& block = session.newOriginal().languageBlock;
  const std::string language = memoryLanguage(std::string(block.begin(), block.end()));
  return language.empty() ? std::string("en") : language;
}

std::vector<MemorySegment> sessionSegments(const Session& session) {
  std::vector<MemorySegment> segments;
  const std::string target = memoryLanguage(session.modLanguage());
  if (target.empty() || !session.isOpen()) return segments;
  const std::string source = originalLanguageOf(session);
  const bool languagesDiffer = modLanguageDiffersFromOriginal(session);
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    const std::u16string_view original = session.rowOriginalText(row);
    const std::u16string_view mod = session.rowModText(row);
    if (original.empty() || mod.empty() || (languagesDiffer && original == mod)) continue;
    if (messageState(session, row, languagesDiffer) == TranslationState::untranslated) continue;
    segments.push_back({std::u16string(original), source, std::u16string(mod), target,
                        std::string(session.rowSubsectionText(row))});
  }
  return segments;
}

std::optional<std::vector<RowText>> pretranslations(const Session& session, const RowView* shown,
                                                    TranslationMemory& memory,
                                                    std::u16string& error) {
  std::vector<RowText> texts;
  const std::string language = memoryLanguage(session.modLanguage());
  if (language.empty() || !session.isOpen()) return texts;
  const bool languagesDiffer = modLanguageDiffersFromOriginal(session);
  MemoryLookup query;
  query.targetLanguage = language;
  // The matches of a text in any context, looked up once.
  std::unordered_map<std::u16string, std::vector<MemorySuggestion>> known;
  const std::int32_t count = shown ? shown->size() : session.rowCount();
  for (std::int32_t at = 0; at < count; ++at) {
    const std::int32_t row = shown ? shown->rowAt(at) : at;
    const std::u16string_view original = session.rowOriginalText(row);
    if (original.empty() || !session.rowModEditable(row)) continue;
    if (messageState(session, row, languagesDiffer) != TranslationState::untranslated) continue;
    auto found = known.find(std::u16string(original));
    if (found == known.end()) {
      std::optional<std::vector<MemorySuggestion>> matches =
          memory.exactMatches(original, query, error);
      if (!matches) return std::nullopt;
      found = known.emplace(std::u16string(original), std::move(*matches)).first;
    }
    if (found->second.empty()) continue;
    const std::string_view context = session.rowSubsectionText(row);
    const auto sameContext =
        std::find_if(found->second.begin(), found->second.end(),
                     [context](const MemorySuggestion& s) { return s.context == context; });
    const MemorySuggestion& best =
        sameContext != found->second.end() ? *sameContext : found->second.front();
    texts.push_back({row, best.target});
  }
  return texts;
}

namespace {

std::string contextKey(const Session& session, std::int32_t row) {
  std::string key(session.rowSubsectionText(row));
  key += '\0';
  key += std::to_string(session.rowForm(row));
  return key;
}

// A context with a great many dropped rows is compared only this far, so
// that a large rework never costs more than a moment a row.
constexpr std::size_t kComparedRows = 2000;

}  // namespace

struct RewordedIndex::Rows {
  struct Row {
    std::int32_t row;
    MatchText match;
  };
  std::unordered_map<std::string, std::vector<Row>> byContext;
};

RewordedIndex::RewordedIndex(const Session& session) : rows_(std::make_unique<Rows>()) {
  if (session.mode() != SessionMode::modUpdate) return;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowState(row) != RowState::dropped || session.rowModText(row).empty()) continue;
    const std::u16string_view old = session.rowOldOriginalText(row);
    if (old.empty()) continue;
    rows_->byContext[contextKey(session, row)].push_back({row, matchText(old)});
  }
}

RewordedIndex::~RewordedIndex() = default;

bool RewordedIndex::empty() const { return rows_->byContext.empty(); }

std::vector<RewordedMatch> RewordedIndex::matches(const Session& session, std::int32_t row,
                                                  int threshold) const {
  std::vector<RewordedMatch> matches;
  if (row < 0 || row >= session.rowCount() || session.rowState(row) != RowState::newString)
    return matches;
  const std::u16string_view original = session.rowOriginalText(row);
  if (original.empty()) return matches;
  const auto found = rows_->byContext.find(contextKey(session, row));
  if (found == rows_->byContext.end()) return matches;
  const MatchText match = matchText(original);
  std::size_t compared = 0;
  for (const Rows::Row& candidate : found->second) {
    if (candidate.row >= session.rowCount() || session.rowModText(candidate.row).empty()) continue;
    if (!lengthsAllow(match.text.size(), candidate.match.text.size(), threshold)) continue;
    if (++compared > kComparedRows) break;
    const int score = similarity(original, match, session.rowOldOriginalText(candidate.row),
                                 candidate.match, threshold);
    if (score >= threshold) matches.push_back({candidate.row, score});
  }
  std::stable_sort(
      matches.begin(), matches.end(),
      [](const RewordedMatch& a, const RewordedMatch& b) { return a.score > b.score; });
  return matches;
}

std::vector<RewordedMatch> bestRewordedMatches(const Session& session, int threshold) {
  std::vector<RewordedMatch> best(static_cast<std::size_t>(session.rowCount()));
  const RewordedIndex index(session);
  if (index.empty()) return best;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    const std::vector<RewordedMatch> matches = index.matches(session, row, threshold);
    if (!matches.empty()) best[static_cast<std::size_t>(row)] = matches.front();
  }
  return best;
}

}  // namespace sorvane
