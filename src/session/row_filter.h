#pragma once

#include "session/session.h"
#include "session/text_condition.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sorvane {

class RowProblems;
class TranslationProgress;

// Which rows a filter keeps by what is known of them.
enum class RowKindFilter : std::uint8_t {
  all,
  untranslated,
  incomplete,
  unfinished,  // untranslated or incomplete
  translated,
  problem,  // the checks found a problem
  // "Mod update" only.
  left,  // a coloured row not yet seen to
  newString,
  dropped,
  changed,
  onlyInMod,
};

// The texts of a row a text condition looks at.
enum class FilterField : std::uint8_t {
  allTexts,  // the originals, the Mod text, section, subsection and comment
  original,  // the (new) original, and in "Mod update" the old one too
  modText,
  section,     // Qt's source text
  subsection,  // Qt's context
  comment,
};

struct RowFilter {
  RowKindFilter kind = RowKindFilter::all;
  FilterField field = FilterField::allTexts;
  PatternKind patternKind = PatternKind::plain;
  std::u16string pattern;

  bool keepsEveryRow() const { return kind == RowKindFilter::all && pattern.empty(); }
  bool operator==(const RowFilter&) const = default;
};

// What a filter reads besides the session.
struct RowFacts {
  const Session& session;
  const RowProblems& problems;
  const TranslationProgress& progress;
};

// The rows of order (every row in file order when it is empty) that the
// filter keeps, in that order; nothing, with the reason in error, when its
// pattern is an invalid regular expression. The rows are tested on two
// threads.
std::optional<std::vector<std::int32_t>> filterRows(const RowFacts& facts,
                                                    std::span<const std::int32_t> order,
                                                    const RowFilter& filter,
                                                    std::u16string* error = nullptr);

// Every row ordered by context (subsection), then source text (section),
// then comment; the forms of a message stay together, and rows that tie
// keep their file order.
std::vector<std::int32_t> contextOrder(const Session& session);

}  // namespace sorvane
