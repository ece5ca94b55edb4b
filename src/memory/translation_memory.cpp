#include "memory/translation_memory.h"

#include "memory/match_text.h"
#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/user_folders.h"
#include "platform/utf8.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace sorvane {

namespace {

// A fuzzy lookup reads the segment lists of the rarest trigram of each of
// kRegions parts of the text, so that a changed word, whose trigrams may be
// the rarest, never hides a source that is alike elsewhere, then of the
// rarest others as long as the lists hold at most kPostingBudget segments
// together; it compares the sources of the kCandidates segments that share
// the most of them. No lookup reads more than kPostingLimit.
constexpr std::int64_t kPostingBudget = 20'000;
constexpr std::int64_t kPostingLimit = 200'000;
constexpr std::size_t kRegions = 6;
constexpr std::size_t kCandidates = 48;

std::uint64_t matchHash(std::u16string_view text) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (const char16_t unit : text) {
    hash = (hash ^ static_cast<std::uint64_t>(unit)) * 1099511628211ULL;
  }
  return hash;
}

std::string primaryLanguage(std::string_view code) {
  return std::string(code.substr(0, code.find('_')));
}

std::u16string sqliteError(sqlite3* db, std::u16string_view what) {
  return std::u16string(what) + u": " + fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

class Statement {
 public:
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(statement_); }
  bool prepare(sqlite3* db, const std::string& sql) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    return sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement_,
                              nullptr) == SQLITE_OK;
  }
  explicit operator bool() const { return statement_ != nullptr; }
  void bind(int at, std::string_view text) {
    sqlite3_bind_text(statement_, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void bind(int at, std::int64_t value) { sqlite3_bind_int64(statement_, at, value); }
  int step() { return sqlite3_step(statement_); }
  void reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  std::string_view text(int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return bytes ? std::string_view(
                       bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                 : std::string_view();
  }
  std::int64_t integer(int column) { return sqlite3_column_int64(statement_, column); }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

bool execute(sqlite3* db, const char* sql, std::u16string& error, std::u16string_view what) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  error = sqliteError(db, what);
  return false;
}

// The trigrams of a match text as the trigram tokenizer cuts it: three
// code points each, as UTF-8.
std::vector<std::string> trigramsInOrder(std::u16string_view text) {
  std::vector<char32_t> points;
  points.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t point = text[i];
    if (point >= 0xD800 && point < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    points.push_back(point);
  }
  std::vector<std::string> trigrams;
  for (std::size_t i = 0; i + 3 <= points.size(); ++i) {
    std::string trigram;
    for (std::size_t k = 0; k < 3; ++k) appendUtf8(trigram, points[i + k]);
    trigrams.push_back(std::move(trigram));
  }
  return trigrams;
}

// The same, each once.
std::vector<std::string> trigramsOf(std::u16string_view text) {
  std::vector<std::string> trigrams = trigramsInOrder(text);
  std::sort(trigrams.begin(), trigrams.end());
  trigrams.erase(std::unique(trigrams.begin(), trigrams.end()), trigrams.end());
  return trigrams;
}

// An FTS5 string that matches exactly this trigram.
std::string quotedTerm(std::string_view term) {
  std::string quoted = "\"";
  for (const char c : term) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string memoryLanguage(std::string_view code) {
  std::string language;
  bool region = false;
  for (const char c : code) {
    if (c == '-' || c == '_') {
      if (region || language.empty()) return {};
      region = true;
      language += '_';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      language += region ? static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)
                         : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    } else {
      return {};
    }
  }
  if (language.empty() || language.back() == '_' || language.size() > 16) return {};
  const std::size_t primary = language.find('_');
  const std::string_view first = std::string_view(language).substr(0, primary);
  if (first.size() < 2 || first.size() > 3 ||
      !std::all_of(first.begin(), first.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    return {};
  return language;
}

// The statements every call uses, prepared once; the trigram tables' are
// prepared per language on first use.
class TranslationMemory::Statements {
 public:
  Statement sameMatch;
  Statement insertSegment;
  Statement findOrigin;
  Statement insertOrigin;
  Statement segmentById;
  Statement count;
  Statement all;
  struct Words {
    Statement insert;
    Statement count;
    Statement documents;
    Statement rows;
  };
  std::map<std::string, Words> words;  // by primary language
};

std::u16string TranslationMemory::defaultPath() {
  const std::u16string folder = programFolder("XDG_DATA_HOME", u".local/share");
  return folder.empty() ? std::u16string() : folder + u"/memory.sqlite";
}

std::unique_ptr<TranslationMemory> TranslationMemory::open(std::u16string_view path,
                                                           std::u16string& error,
                                                           int busyTimeoutMs) {
  const std::u16string_view folder = folderPart(path);
  if (!folder.empty() && !isFolder(folder) && !createFolders(folder)) {
    error = u"The folder " + std::u16string(folder) + u" can't be made";
    return nullptr;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(nativePath(path).c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    error = sqliteError(db, u"It can't be opened");
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<TranslationMemory> memory(new TranslationMemory(db, std::u16string(path)));
  sqlite3_busy_timeout(db, busyTimeoutMs);
  sqlite3_extended_result_codes(db, 1);
  if (!memory->prepare(error)) return nullptr;
  return memory;
}

TranslationMemory::TranslationMemory(sqlite3* db, std::u16string path)
    : db_(db), path_(std::move(path)) {}

TranslationMemory::~TranslationMemory() {
  statements_.reset();
  sqlite3_close(db_);
}

bool TranslationMemory::prepare(std::u16string& error) {
  // Reading the schema is the first read of the file: a file that is not
  // a database fails here.
  if (!execute(db_, "PRAGMA journal_mode=WAL", error, u"It is not a translation memory") ||
      !execute(db_,
               "PRAGMA synchronous=NORMAL; PRAGMA cache_size=-32768; PRAGMA mmap_size=1073741824;"
               "CREATE TABLE IF NOT EXISTS origins(id INTEGER PRIMARY KEY, path TEXT NOT NULL "
               "UNIQUE);"
               "CREATE TABLE IF NOT EXISTS segments(id INTEGER PRIMARY KEY, match_hash INTEGER "
               "NOT NULL, source TEXT NOT NULL, source_language TEXT NOT NULL, target TEXT NOT "
               "NULL, target_language TEXT NOT NULL, context TEXT NOT NULL, origin INTEGER NOT "
               "NULL, added INTEGER NOT NULL);"
               "CREATE INDEX IF NOT EXISTS segments_by_match ON segments(match_hash);",
               error, u"It can't be read or set up")) {
    return false;
  }
  statements_ = std::make_unique<Statements>();
  Statements& s = *statements_;
  if (!s.sameMatch.prepare(db_,
                           "SELECT segments.id, source, source_language, target, "
                           "target_language, context, origins.path FROM segments JOIN origins "
                           "ON origins.id = origin WHERE match_hash = ?1") ||
      !s.insertSegment.prepare(db_,
                               "INSERT INTO segments(match_hash, source, source_language, "
                               "target, target_language, context, origin, added) VALUES(?1, ?2, "
                               "?3, ?4, ?5, ?6, ?7, ?8)") ||
      !s.findOrigin.prepare(db_, "SELECT id FROM origins WHERE path = ?1") ||
      !s.insertOrigin.prepare(db_, "INSERT INTO origins(path) VALUES(?1)") ||
      !s.segmentById.prepare(db_,
                             "SELECT source, target, target_language, context, origins.path "
                             "FROM segments JOIN origins ON origins.id = origin WHERE "
                             "segments.id = ?1") ||
      !s.count.prepare(db_, "SELECT count(*) FROM segments") ||
      !s.all.prepare(db_,
                     "SELECT source, source_language, target, target_language, context FROM "
                     "segments ORDER BY id")) {
    error = sqliteError(db_, u"It is not a translation memory of this version");
    return false;
  }
  return true;
}

namespace {

// The trigram table of a language, made on first use, with the number of
// segments each trigram is in: a fuzzy lookup reads the rarest first.
bool prepareWords(sqlite3* db, const std::string& language, Statement& insert, Statement& count,
                  Statement& documents, Statement& rows, bool create, std::u16string& error) {
  const std::string table = "words_" + language;
  if (create) {
    const std::string sql = "CREATE VIRTUAL TABLE IF NOT EXISTS " + table +
                            " USING fts5(text, tokenize='trigram', detail=none, content='');"
                            "CREATE TABLE IF NOT EXISTS " +
                            table +
                            "_counts(term TEXT PRIMARY KEY, documents INTEGER NOT NULL) "
                            "WITHOUT ROWID;";
    if (!execute(db, sql.c_str(), error, u"Its index can't be made")) return false;
  }
  if (!insert.prepare(db, "INSERT INTO " + table + "(rowid, text) VALUES(?1, ?2)") ||
      !count.prepare(db, "INSERT INTO " + table +
                             "_counts(term, documents) VALUES(?1, ?2) ON CONFLICT(term) DO "
                             "UPDATE SET documents = documents + excluded.documents") ||
      !documents.prepare(db, "SELECT documents FROM " + table + "_counts WHERE term = ?1") ||
      !rows.prepare(db, "SELECT rowid FROM " + table + " WHERE " + table + " MATCH ?1")) {
    error = sqliteError(db, u"Its index can't be read");
    return false;
  }
  return true;
}

bool sameSegment(Statement& row, const MemorySegment& segment, std::string_view source,
                 std::string_view target) {
  return row.text(1) == source && row.text(2) == segment.sourceLanguage && row.text(3) == target &&
         row.text(4) == segment.targetLanguage && row.text(5) == segment.context;
}

}  // namespace

std::optional<std::int64_t> TranslationMemory::add(std::span<const MemorySegment> segments,
                                                   std::u16string_view origin,
                                                   std::u16string& error) {
  const std::lock_guard lock(mutex_);
  Statements& s = *statements_;
  if (!execute(db_, "BEGIN IMMEDIATE", error, u"It can't be written")) return std::nullopt;
  const auto fail = [&](std::u16string_view what) -> std::optional<std::int64_t> {
    error = sqliteError(db_, what);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return std::nullopt;
  };
  const std::string originText = toUtf8(origin);
  s.findOrigin.bind(1, originText);
  std::int64_t originId = 0;
  if (s.findOrigin.step() == SQLITE_ROW) {
    originId = s.findOrigin.integer(0);
  } else {
    s.insertOrigin.bind(1, originText);
    const int done = s.insertOrigin.step();
    s.insertOrigin.reset();
    if (done != SQLITE_DONE) {
      s.findOrigin.reset();
      return fail(u"It can't be written");
    }
    originId = sqlite3_last_insert_rowid(db_);
  }
  s.findOrigin.reset();

  const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  std::int64_t added = 0;
  std::string source;
  std::string target;
  MemorySegment normal;  // the languages as kept, for the comparison
  // How many of the new segments each trigram is in, by language.
  std::map<std::string, std::unordered_map<std::string, std::int64_t>> newCounts;
  for (const MemorySegment& segment : segments) {
    if (segment.source.empty() || segment.target.empty()) continue;
    normal.sourceLanguage = memoryLanguage(segment.sourceLanguage);
    normal.targetLanguage = memoryLanguage(segment.targetLanguage);
    normal.context = segment.context;
    if (normal.targetLanguage.empty()) continue;
    const std::string language = primaryLanguage(normal.targetLanguage);
    const MatchText match = matchText(segment.source);
    const auto hash = static_cast<std::int64_t>(matchHash(match.text));
    source = toUtf8(segment.source);
    target = toUtf8(segment.target);
    s.sameMatch.bind(1, hash);
    bool known = false;
    int step = 0;
    while (!known && (step = s.sameMatch.step()) == SQLITE_ROW) {
      known = sameSegment(s.sameMatch, normal, source, target);
    }
    s.sameMatch.reset();
    if (known) continue;
    if (step != SQLITE_DONE) return fail(u"It can't be read");

    auto [found, fresh] = s.words.try_emplace(language);
    if (fresh && !prepareWords(db_, language, found->second.insert, found->second.count,
                               found->second.documents, found->second.rows, true, error)) {
      s.words.erase(found);
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      return std::nullopt;
    }
    s.insertSegment.bind(1, hash);
    s.insertSegment.bind(2, source);
    s.insertSegment.bind(3, normal.sourceLanguage);
    s.insertSegment.bind(4, target);
    s.insertSegment.bind(5, normal.targetLanguage);
    s.insertSegment.bind(6, segment.context);
    s.insertSegment.bind(7, originId);
    s.insertSegment.bind(8, now);
    const int inserted = s.insertSegment.step();
    s.insertSegment.reset();
    if (inserted != SQLITE_DONE) return fail(u"It can't be written");
    Statement& insertWords = found->second.insert;
    insertWords.bind(1, sqlite3_last_insert_rowid(db_));
    insertWords.bind(2, toUtf8(match.text));
    const int indexed = insertWords.step();
    insertWords.reset();
    if (indexed != SQLITE_DONE) return fail(u"Its index can't be written");
    std::unordered_map<std::string, std::int64_t>& counts = newCounts[language];
    for (std::string& trigram : trigramsOf(match.text)) ++counts[std::move(trigram)];
    ++added;
  }
  for (auto& [language, counts] : newCounts) {
    Statement& count = s.words.at(language).count;
    for (const auto& [trigram, documents] : counts) {
      count.bind(1, trigram);
      count.bind(2, documents);
      const int counted = count.step();
      count.reset();
      if (counted != SQLITE_DONE) return fail(u"Its index can't be written");
    }
  }
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return fail(u"It can't be written");
  }
  return added;
}

std::optional<std::vector<MemorySuggestion>> TranslationMemory::exactLocked(
    std::u16string_view text, std::uint64_t hash, const MemoryLookup& query,
    std::u16string& error) {
  Statement& row = statements_->sameMatch;
  row.bind(1, static_cast<std::int64_t>(hash));
  const std::string language = primaryLanguage(memoryLanguage(query.targetLanguage));
  std::vector<MemorySuggestion> found;
  int step = 0;
  while ((step = row.step()) == SQLITE_ROW) {
    if (primaryLanguage(row.text(4)) != language) continue;
    MemorySuggestion suggestion;
    suggestion.source = fromUtf8(row.text(1));
    suggestion.target = fromUtf8(row.text(3));
    suggestion.targetLanguage = std::string(row.text(4));
    suggestion.context = std::string(row.text(5));
    suggestion.origin = fromUtf8(row.text(6));
    suggestion.score = similarity(text, suggestion.source);
    found.push_back(std::move(suggestion));
  }
  row.reset();
  if (step != SQLITE_DONE) {
    error = sqliteError(db_, u"It can't be read");
    return std::nullopt;
  }
  // The newest first: a translation corrected since comes before the old.
  std::reverse(found.begin(), found.end());
  return found;
}

namespace {

// Best first: the score, then the context asked for, then the language
// exactly as asked, then as they came (the newest exact match first).
void rank(std::vector<MemorySuggestion>& suggestions, const MemoryLookup& query) {
  std::stable_sort(suggestions.begin(), suggestions.end(),
                   [&query](const MemorySuggestion& a, const MemorySuggestion& b) {
                     if (a.score != b.score) return a.score > b.score;
                     const bool contextA = a.context == query.context;
                     const bool contextB = b.context == query.context;
                     if (contextA != contextB) return contextA;
                     return a.targetLanguage == query.targetLanguage &&
                            b.targetLanguage != query.targetLanguage;
                   });
}

// One suggestion a translation: the best of those that give the same one.
void keepBest(std::vector<MemorySuggestion>& suggestions, std::size_t limit) {
  std::unordered_set<std::u16string> seen;
  std::vector<MemorySuggestion> kept;
  for (MemorySuggestion& suggestion : suggestions) {
    if (kept.size() == limit) break;
    if (seen.insert(suggestion.target).second) kept.push_back(std::move(suggestion));
  }
  suggestions = std::move(kept);
}

}  // namespace

std::optional<std::vector<MemorySuggestion>> TranslationMemory::exactMatches(
    std::u16string_view text, const MemoryLookup& query, std::u16string& error) {
  const std::lock_guard lock(mutex_);
  std::optional<std::vector<MemorySuggestion>> found =
      exactLocked(text, matchHash(matchText(text).text), query, error);
  if (!found) return std::nullopt;
  std::erase_if(*found, [](const MemorySuggestion& s) { return s.score != 100; });
  rank(*found, query);
  return found;
}

std::optional<std::vector<MemorySuggestion>> TranslationMemory::lookup(std::u16string_view text,
                                                                       const MemoryLookup& query,
                                                                       std::u16string& error) {
  const std::lock_guard lock(mutex_);
  // One read transaction: one lock of the file for all the statements.
  sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
  struct EndRead {
    sqlite3* db;
    ~EndRead() { sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
  } endRead{db_};
  const MatchText match = matchText(text);
  std::optional<std::vector<MemorySuggestion>> found =
      exactLocked(text, matchHash(match.text), query, error);
  if (!found) return std::nullopt;
  std::unordered_set<std::u16string> exactSources;
  for (const MemorySuggestion& suggestion : *found) exactSources.insert(suggestion.source);

  const std::string language = primaryLanguage(memoryLanguage(query.targetLanguage));
  const std::vector<std::string> inOrder = trigramsInOrder(match.text);
  auto words = statements_->words.find(language);
  if (!inOrder.empty() && !language.empty() && words == statements_->words.end()) {
    words = statements_->words.try_emplace(language).first;
    std::u16string ignored;
    // A language the memory has never seen has no table yet: no candidates.
    if (!prepareWords(db_, language, words->second.insert, words->second.count,
                      words->second.documents, words->second.rows, false, ignored)) {
      statements_->words.erase(words);
      words = statements_->words.end();
    }
  }
  if (!inOrder.empty() && words != statements_->words.end()) {
    Statements::Words& table = words->second;
    // How many segments each trigram is in; 0 for one no segment has.
    std::unordered_map<std::string, std::int64_t> documents;
    for (const std::string& trigram : inOrder) {
      if (documents.contains(trigram)) continue;
      table.documents.bind(1, trigram);
      documents[trigram] = table.documents.step() == SQLITE_ROW ? table.documents.integer(0) : 0;
      table.documents.reset();
    }
    // The rarest trigram of each part of the text, while their lists hold
    // at most kPostingLimit segments together.
    std::vector<std::string> chosen;
    std::int64_t postings = 0;
    const std::size_t regions = std::min(kRegions, inOrder.size());
    for (std::size_t region = 0; region < regions; ++region) {
      const std::size_t from = region * inOrder.size() / regions;
      const std::size_t to = (region + 1) * inOrder.size() / regions;
      const std::string* rarest = nullptr;
      for (std::size_t i = from; i < to; ++i) {
        const std::int64_t n = documents[inOrder[i]];
        if (n > 0 && std::find(chosen.begin(), chosen.end(), inOrder[i]) == chosen.end() &&
            (!rarest || n < documents[*rarest]))
          rarest = &inOrder[i];
      }
      if (rarest && postings + documents[*rarest] <= kPostingLimit) {
        chosen.push_back(*rarest);
        postings += documents[*rarest];
      }
    }
    // Then the rarest of the rest, as far as the budget goes.
    std::vector<std::pair<std::int64_t, std::string>> byRarity;
    for (const auto& [trigram, n] : documents) {
      if (n > 0 && std::find(chosen.begin(), chosen.end(), trigram) == chosen.end())
        byRarity.emplace_back(n, trigram);
    }
    std::sort(byRarity.begin(), byRarity.end());
    for (const auto& [n, trigram] : byRarity) {
      if (postings + n > kPostingBudget) break;
      chosen.push_back(trigram);
      postings += n;
    }
    // The segments that hold the most of them, by their lists merged.
    std::vector<std::int64_t> hits;
    hits.reserve(static_cast<std::size_t>(postings));
    for (const std::string& trigram : chosen) {
      table.rows.bind(1, quotedTerm(trigram));
      while (table.rows.step() == SQLITE_ROW) hits.push_back(table.rows.integer(0));
      table.rows.reset();
    }
    std::sort(hits.begin(), hits.end());
    std::vector<std::pair<std::int32_t, std::int64_t>> counted;
    for (std::size_t at = 0; at < hits.size();) {
      std::size_t end = at + 1;
      while (end < hits.size() && hits[end] == hits[at]) ++end;
      counted.emplace_back(static_cast<std::int32_t>(end - at), hits[at]);
      at = end;
    }
    const std::size_t best = std::min(kCandidates, counted.size());
    std::partial_sort(counted.begin(), counted.begin() + static_cast<std::ptrdiff_t>(best),
                      counted.end(), [](const auto& a, const auto& b) {
                        return a.first != b.first ? a.first > b.first : a.second < b.second;
                      });
    std::vector<std::int64_t> candidates;
    for (std::size_t i = 0; i < best; ++i) candidates.push_back(counted[i].second);
    const std::size_t kept = candidates.size();
    Statement& row = statements_->segmentById;
    for (std::size_t i = 0; i < kept; ++i) {
      row.bind(1, candidates[i]);
      if (row.step() == SQLITE_ROW) {
        MemorySuggestion suggestion;
        suggestion.source = fromUtf8(row.text(0));
        if (!exactSources.contains(suggestion.source)) {
          suggestion.score = similarity(text, match, suggestion.source,
                                        matchText(suggestion.source), query.threshold);
          if (suggestion.score >= query.threshold) {
            suggestion.target = fromUtf8(row.text(1));
            suggestion.targetLanguage = std::string(row.text(2));
            suggestion.context = std::string(row.text(3));
            suggestion.origin = fromUtf8(row.text(4));
            found->push_back(std::move(suggestion));
          }
        }
      }
      row.reset();
    }
  }
  std::erase_if(*found, [&query](const MemorySuggestion& s) { return s.score < query.threshold; });
  rank(*found, query);
  keepBest(*found, query.limit);
  return found;
}

std::optional<std::int64_t> TranslationMemory::segmentCount(std::u16string& error) {
  const std::lock_guard lock(mutex_);
  Statement& count = statements_->count;
  std::optional<std::int64_t> result;
  if (count.step() == SQLITE_ROW) {
    result = count.integer(0);
  } else {
    error = sqliteError(db_, u"It can't be read");
  }
  count.reset();
  return result;
}

std::optional<std::vector<std::string>> TranslationMemory::languages(std::u16string& error) {
  const std::lock_guard lock(mutex_);
  Statement tables;
  if (!tables.prepare(db_, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
    error = sqliteError(db_, u"It can't be read");
    return std::nullopt;
  }
  std::vector<std::string> found;
  int step = 0;
  while ((step = tables.step()) == SQLITE_ROW) {
    const std::string_view name = tables.text(0);
    if (!name.starts_with("words_")) continue;
    const std::string_view language = name.substr(6);
    if (memoryLanguage(language) == language && language.find('_') == std::string_view::npos)
      found.emplace_back(language);
  }
  if (step != SQLITE_DONE) {
    error = sqliteError(db_, u"It can't be read");
    return std::nullopt;
  }
  return found;
}

bool TranslationMemory::forEachSegment(const std::function<bool(const MemorySegment&)>& visit,
                                       std::u16string& error) {
  const std::lock_guard lock(mutex_);
  Statement& all = statements_->all;
  MemorySegment segment;
  int step = 0;
  bool going = true;
  while (going && (step = all.step()) == SQLITE_ROW) {
    segment.source = fromUtf8(all.text(0));
    segment.sourceLanguage = std::string(all.text(1));
    segment.target = fromUtf8(all.text(2));
    segment.targetLanguage = std::string(all.text(3));
    segment.context = std::string(all.text(4));
    going = visit(segment);
  }
  all.reset();
  if (going && step != SQLITE_DONE) {
    error = sqliteError(db_, u"It can't be read");
    return false;
  }
  return true;
}

}  // namespace sorvane
