#pragma once

#include "memory/translation_memory.h"
#include "session/editing.h"
#include "session/session.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorvane {

class RowView;

// The Original's language as the memory keeps it; "en" when the Original
// names none.
std::string originalLanguageOf(const Session& session);

// What a Mod teaches the memory: each translated row's original text, in
// the Original's language, with its Mod text in the Mod's language, its
// context the row's. Untranslated rows, and every row of a Mod that names
// no language, teach nothing.
std::vector<MemorySegment> sessionSegments(const Session& session);

// The texts that fill every untranslated row (of the rows shown; all rows
// without a view) with a translation of exactly its original text in the
// Mod's language, one of the row's context first. Store them with
// storeRowTexts: one undoable change.
std::optional<std::vector<RowText>> pretranslations(const Session& session, const RowView* shown,
                                                    TranslationMemory& memory,
                                                    std::u16string& error);

// "Mod update": a dropped row with a Mod text whose old original text is
// like a new row's original text, and how alike (0 to 100).
struct RewordedMatch {
  std::int32_t row = -1;
  int score = 0;
};

// The dropped rows that hold a Mod text, by context and form, read once
// for as long as the rows stay laid out as they are.
class RewordedIndex {
 public:
  explicit RewordedIndex(const Session& session);
  RewordedIndex(const RewordedIndex&) = delete;
  RewordedIndex& operator=(const RewordedIndex&) = delete;
  ~RewordedIndex();
  bool empty() const;
  // For a new row, the dropped rows of its context (the same form) that
  // still hold a Mod text and whose old original scores at least threshold
  // against its original, best first; nothing for any other row.
  std::vector<RewordedMatch> matches(const Session& session, std::int32_t row,
                                     int threshold = 70) const;

 private:
  struct Rows;
  std::unique_ptr<Rows> rows_;
};

// The best reworded match of every new row, -1 rows where there is none,
// found in one pass over the rows.
std::vector<RewordedMatch> bestRewordedMatches(const Session& session, int threshold = 70);

}  // namespace sorvane
