#include "session/text_replace.h"

#include "platform/message_format.h"
#include "session/editing.h"
#include "session/icu_regex.h"
#include "session/row_view.h"
#include "widetext/wildcard_match.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace sorvane {

namespace {

// The pattern as ICU reads a text that stands for itself.
std::u16string quoted(std::u16string_view text) {
  std::u16string quoted;
  for (const char16_t unit : text) {
    // Outside letters, digits and spaces a backslash makes any character
    // stand for itself.
    const bool plain = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
                       (unit >= u'0' && unit <= u'9') || unit >= 0x80;
    if (!plain) quoted.push_back(u'\\');
    quoted.push_back(unit);
  }
  return quoted;
}

// One piece of an expanded replacement: a text, or a group of the match.
struct ReplacementPiece {
  std::u16string text;
  std::int32_t group = -1;
};

std::vector<ReplacementPiece> parseReplacement(std::u16string_view replacement, bool regex) {
  std::vector<ReplacementPiece> pieces(1);
  if (!regex) {
    pieces.front().text = replacement;
    return pieces;
  }
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t unit = replacement[i];
    if (unit == u'\\' && i + 1 < replacement.size()) {
      pieces.back().text.push_back(replacement[++i]);
    } else if (unit == u'$' && i + 1 < replacement.size() && replacement[i + 1] >= u'0' &&
               replacement[i + 1] <= u'9') {
      std::int32_t group = 0;
      while (i + 1 < replacement.size() && replacement[i + 1] >= u'0' &&
             replacement[i + 1] <= u'9' && group < 1000) {
        group = group * 10 + (replacement[++i] - u'0');
      }
      pieces.push_back({{}, group});
      pieces.emplace_back();
    } else {
      pieces.back().text.push_back(unit);
    }
  }
  return pieces;
}

// Puts an accelerator mark that stood before the letter at offset of a
// match into its replacement: before the same letter nearest that offset,
// else at the offset, never after the last character.
void keepMark(std::u16string& replacement, char16_t letter, std::size_t offset) {
  if (replacement.empty()) return;
  const std::u16string lowered = lowerCased(replacement);
  const char16_t wanted = lowerCased(std::u16string(1, letter)).front();
  std::size_t best = std::min(offset, replacement.size() - 1);
  std::size_t bestDistance = SIZE_MAX;
  for (std::size_t at = 0; at < lowered.size(); ++at) {
    if (lowered[at] != wanted) continue;
    const std::size_t distance = at > offset ? at - offset : offset - at;
    if (distance < bestDistance) {
      best = at;
      bestDistance = distance;
    }
  }
  replacement.insert(best, 1, u'&');
}

}  // namespace

struct TextReplacer::Compiled {
  std::unique_ptr<icu::RegexPattern> pattern;
  std::unique_ptr<icu::RegexMatcher> matcher;
  std::vector<ReplacementPiece> replacement;
  bool ignoreAccelerators = false;
};

TextReplacer::TextReplacer(std::unique_ptr<Compiled> compiled) : compiled_(std::move(compiled)) {}
TextReplacer::TextReplacer(TextReplacer&&) noexcept = default;
TextReplacer& TextReplacer::operator=(TextReplacer&&) noexcept = default;
TextReplacer::~TextReplacer() = default;

std::optional<TextReplacer> TextReplacer::compile(const ReplaceQuery& query,
                                                  std::u16string* error) {
  if (query.pattern.empty()) {
    if (error) *error = u"Type the text to replace.";
    return std::nullopt;
  }
  std::u16string expression = query.regex ? query.pattern : quoted(query.pattern);
  if (query.wholeWords) expression = u"\\b(?:" + expression + u")\\b";
  std::uint32_t flags = UREGEX_UWORD;
  if (!query.matchCase) flags |= UREGEX_CASE_INSENSITIVE;
  auto compiled = std::make_unique<Compiled>();
  compiled->pattern = compileRegex(expression, flags, error);
  if (!compiled->pattern) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  compiled->matcher.reset(compiled->pattern->matcher(status));
  if (U_FAILURE(status) || !compiled->matcher) {
    if (error) *error = u"The regular expression can't be used.";
    return std::nullopt;
  }
  compiled->replacement = parseReplacement(query.replacement, query.regex);
  const std::int32_t groups = compiled->matcher->groupCount();
  for (const ReplacementPiece& piece : compiled->replacement) {
    if (piece.group > groups) {
      if (error) {
        *error = formatMessage(
            u"The replacement names group $%d, but the regular expression has %d group(s).",
            {piece.group, groups});
      }
      return std::nullopt;
    }
  }
  compiled->ignoreAccelerators = query.ignoreAccelerators;
  return TextReplacer(std::move(compiled));
}

std::optional<std::u16string> TextReplacer::replaced(std::u16string_view text) {
  if (text.size() > static_cast<std::size_t>(INT32_MAX / 2)) return std::nullopt;
  // What is matched: the text, or without accelerator marks, with where
  // each of its units starts in the text ("&&" counts as one "&") and
  // whether a mark stood before it.
  std::u16string searched;
  std::vector<std::size_t> startOf;
  std::vector<bool> marked;
  if (compiled_->ignoreAccelerators) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::size_t start = i;
      bool mark = false;
      if (text[i] == u'&' && i + 1 < text.size()) {
        ++i;
        mark = text[i] != u'&';
      }
      searched.push_back(text[i]);
      startOf.push_back(start);
      marked.push_back(mark);
    }
    startOf.push_back(text.size());
  }
  const std::u16string_view input = compiled_->ignoreAccelerators ? searched : text;
  const auto at = [&](std::int32_t index) {
    const auto unit = static_cast<std::size_t>(index);
    return compiled_->ignoreAccelerators ? startOf[unit] : unit;
  };

  icu::RegexMatcher& matcher = *compiled_->matcher;
  const icu::UnicodeString alias = aliasOf(input);
  matcher.reset(alias);
  UErrorCode status = U_ZERO_ERROR;
  std::u16string result;
  std::size_t copied = 0;
  bool any = false;
  while (matcher.find(status) && U_SUCCESS(status)) {
    const std::int32_t start = matcher.start(status);
    const std::int32_t end = matcher.end(status);
    if (U_FAILURE(status)) return std::nullopt;
    any = true;
    result.append(text.substr(copied, at(start) - copied));
    std::u16string expanded;
    for (const ReplacementPiece& piece : compiled_->replacement) {
      expanded += piece.text;
      if (piece.group < 0) continue;
      const std::int32_t groupStart = matcher.start(piece.group, status);
      const std::int32_t groupEnd = matcher.end(piece.group, status);
      if (U_SUCCESS(status) && groupStart >= 0) {
        expanded.append(input.substr(static_cast<std::size_t>(groupStart),
                                     static_cast<std::size_t>(groupEnd - groupStart)));
      }
      status = U_ZERO_ERROR;
    }
    if (compiled_->ignoreAccelerators) {
      for (std::int32_t unit = start; unit < end; ++unit) {
        if (!marked[static_cast<std::size_t>(unit)]) continue;
        keepMark(expanded, input[static_cast<std::size_t>(unit)],
                 static_cast<std::size_t>(unit - start));
        break;
      }
    }
    result += expanded;
    copied = at(end);
  }
  if (!any || U_FAILURE(status)) return std::nullopt;
  result.append(text.substr(copied));
  if (result == text) return std::nullopt;
  return result;
}

std::vector<Replacement> findReplacements(const Session& session, const RowView* rows,
                                          TextReplacer& replacer) {
  std::vector<Replacement> replacements;
  const std::int32_t count = rows ? rows->size() : session.rowCount();
  for (std::int32_t position = 0; position < count; ++position) {
    const std::int32_t row = rows ? rows->rowAt(position) : position;
    const std::u16string_view before = session.rowModText(row);
    if (before.empty() || !session.rowModEditable(row)) continue;
    if (std::optional<std::u16string> after = replacer.replaced(before)) {
      replacements.push_back({row, std::u16string(before), std::move(*after)});
    }
  }
  return replacements;
}

std::int32_t applyReplacements(Session& session, std::span<const Replacement> replacements) {
  std::vector<RowText> texts;
  texts.reserve(replacements.size());
  for (const Replacement& replacement : replacements) {
    texts.push_back({replacement.row, replacement.after});
  }
  return storeRowTexts(session, texts);
}

}  // namespace sorvane
