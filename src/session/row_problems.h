#pragma once

#include "checks/spelling.h"
#include "checks/translation_checks.h"
#include "session/session.h"

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sorvane {

// The original text a row's Mod text stands for: the row's own form of the
// (new) original, or its first form where the original has fewer forms
// than the Mod's language.
std::u16string_view originalTextFor(const Session& session, std::int32_t row);

// The problems of every row of a session: its Mod text against its original
// text (the new original's in "Mod update"; a plural form against the
// original's form of the same number, or its first form where the original
// has fewer), accelerators that clash within a context, plural messages
// that Qt can't show because some forms have no text, entries of the Mod
// file (in Qt's shape) that Qt will never find, and in "Traditional" rows
// whose Original and Mod entries are different messages.
class RowProblems {
 public:
  // The spelling is checked by a dictionary when one is given: row by row
  // (checkSpelling), apart from checkAll, as it takes longer than the
  // other checks; a re-check after an edit includes it.
  void setSpeller(const SpellChecker* speller) { speller_ = speller; }
  const SpellChecker* speller() const { return speller_; }
  void checkAll(const Session& session);
  // The spelling of one row, alone: its other problems stay as they are.
  void checkSpelling(const Session& session, std::int32_t row);
  // After the Mod text of a row was stored: that row and the other forms of
  // its message, and the rows of its context whose accelerators it may
  // clash with.
  void recheckRow(const Session& session, std::int32_t row);
  void clear();

  const std::vector<Problem>& problemsOf(std::int32_t row) const;
  bool hasProblems(std::int32_t row) const;
  std::int32_t rowsWithProblems() const { return rowsWithProblems_; }
  // "Traditional": the messages whose Original and Mod entries differ.
  std::int32_t mismatchedPairs() const { return mismatchedPairs_; }
  // The nearest row after (or before) from that has problems, wrapping
  // around; nothing when no row has any.
  std::optional<std::int32_t> nextRow(std::int32_t from, bool backward) const;

 private:
  void checkRow(const Session& session, std::int32_t row);
  void checkPairing(const Session& session);
  void checkClashes(std::span<const std::int32_t> rows);
  void groupByContext(const Session& session);
  std::span<const std::int32_t> rowsOfContext(std::int32_t context) const;
  void setProblems(std::int32_t row, std::vector<Problem> problems);

  std::vector<std::uint8_t> flagged_;
  // Each row's accelerator letters: the Mod text's, the original's.
  std::vector<std::pair<char16_t, char16_t>> letters_;
  std::unordered_map<std::int32_t, std::vector<Problem>> problems_;
  // Problems editing doesn't change: lookups and pairing.
  std::unordered_map<std::int32_t, std::vector<Problem>> fixed_;
  // The spelling problem of each row checked so far.
  std::unordered_map<std::int32_t, Problem> spelling_;
  const SpellChecker* speller_ = nullptr;
  // The rows of each context, one after the other: those of context c are
  // contextRows_[contextStart_[c]] up to contextStart_[c + 1].
  std::vector<std::int32_t> contextOfRow_;
  std::vector<std::int32_t> contextStart_;
  std::vector<std::int32_t> contextRows_;
  std::int32_t rowsWithProblems_ = 0;
  std::int32_t mismatchedPairs_ = 0;
};

}  // namespace sorvane
