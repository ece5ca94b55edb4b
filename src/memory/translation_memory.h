#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace sorvane {

// One translation the memory holds: a source text in its language, its
// translation in another, and the context it was made for (Qt's context,
// or a tool's message context).
struct MemorySegment {
  std::u16string source;
  std::string sourceLanguage;
  std::u16string target;
  std::string targetLanguage;
  std::string context;
};

// A segment offered for a text, with how alike its source is (0 to 100).
struct MemorySuggestion {
  int score = 0;
  std::u16string source;
  std::u16string target;
  std::string targetLanguage;
  std::string context;
  std::u16string origin;  // the file it was learnt from
};

struct MemoryLookup {
  std::string targetLanguage;  // "de", "de_DE": the same language matches
  std::string context;         // among equal scores, this context first
  int threshold = 70;
  std::size_t limit = 5;
};

// A language code as the memory keeps it: "de_DE" for "de-de", "de" for
// "de"; empty for a code that is not one.
std::string memoryLanguage(std::string_view code);

// The translations a user has, in one SQLite file shared by every window:
// segments with an exact index of their match text, and a trigram index a
// language that finds the candidates of a fuzzy lookup. Every call is safe
// from any thread; writers wait for each other (the busy timeout).
class TranslationMemory {
 public:
  // $XDG_DATA_HOME/sorvane/memory.sqlite (~/.local/share when unset).
  static std::u16string defaultPath();

  // Opens the memory at path, creating it (and its folder) when missing.
  // Nothing, with the reason in error, when the file can't be opened or is
  // not a memory.
  static std::unique_ptr<TranslationMemory> open(std::u16string_view path, std::u16string& error,
                                                 int busyTimeoutMs = 5000);
  ~TranslationMemory();
  TranslationMemory(const TranslationMemory&) = delete;
  TranslationMemory& operator=(const TranslationMemory&) = delete;

  const std::u16string& path() const { return path_; }

  // Adds the segments learnt from origin in one transaction, each at most
  // once: a segment the memory holds (the same texts, languages and
  // context) is skipped, and so is one without both texts. Returns how many
  // were added, or nothing with the reason in error.
  std::optional<std::int64_t> add(std::span<const MemorySegment> segments,
                                  std::u16string_view origin, std::u16string& error);

  // The segments whose source is like text, best first: at most
  // query.limit, each of at least query.threshold, one a translation.
  std::optional<std::vector<MemorySuggestion>> lookup(std::u16string_view text,
                                                      const MemoryLookup& query,
                                                      std::u16string& error);
  // The translations of exactly this source text, those of the context
  // first.
  std::optional<std::vector<MemorySuggestion>> exactMatches(std::u16string_view text,
                                                            const MemoryLookup& query,
                                                            std::u16string& error);

  std::optional<std::int64_t> segmentCount(std::u16string& error);
  // The languages the memory holds translations in ("de", "ru"), by name.
  std::optional<std::vector<std::string>> languages(std::u16string& error);
  // Calls visit for every segment, oldest first; stops when it returns false.
  bool forEachSegment(const std::function<bool(const MemorySegment&)>& visit,
                      std::u16string& error);

 private:
  TranslationMemory(sqlite3* db, std::u16string path);
  class Statements;
  bool prepare(std::u16string& error);
  std::optional<std::vector<MemorySuggestion>> exactLocked(std::u16string_view text,
                                                           std::uint64_t matchHash,
                                                           const MemoryLookup& query,
                                                           std::u16string& error);

  std::mutex mutex_;
  sqlite3* db_;
  std::u16string path_;
  std::unique_ptr<Statements> statements_;
};

}  // namespace sorvane
