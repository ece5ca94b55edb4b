#include "session/row_filter.h"

#include "platform/side_by_side.h"
#include "session/row_problems.h"
#include "session/translation_progress.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <climits>

namespace sorvane {

namespace {

bool keptByKind(const RowFacts& facts, std::int32_t row, RowKindFilter kind) {
  const auto state = [&] { return facts.progress.state(facts.session, row); };
  const auto colourIs = [&](RowState colour) {
    return facts.session.mode() == SessionMode::modUpdate && facts.session.rowState(row) == colour;
  };
  switch (kind) {
    case RowKindFilter::all:
      return true;
    case RowKindFilter::untranslated:
      return state() == TranslationState::untranslated;
    case RowKindFilter::incomplete:
      return state() == TranslationState::incomplete;
    case RowKindFilter::unfinished:
      return state() != TranslationState::translated;
    case RowKindFilter::translated:
      return state() == TranslationState::translated;
    case RowKindFilter::problem:
      return facts.problems.hasProblems(row);
    case RowKindFilter::left:
      return facts.session.mode() == SessionMode::modUpdate &&
             facts.progress.left(facts.session, row);
    case RowKindFilter::newString:
      return colourIs(RowState::newString);
    case RowKindFilter::dropped:
      return colourIs(RowState::dropped);
    case RowKindFilter::changed:
      return colourIs(RowState::changed);
    case RowKindFilter::onlyInMod:
      return colourIs(RowState::onlyInMod);
  }
  return true;
}

// Tests the texts of rows against a text condition; one per thread.
class RowTextTest {
 public:
  RowTextTest(const Session& session, FilterField field, TextMatcher matcher)
      : session_(session), field_(field), matcher_(std::move(matcher)) {}

  bool operator()(std::int32_t row) {
    const bool modUpdate = session_.mode() == SessionMode::modUpdate;
    const bool all = field_ == FilterField::allTexts;
    if (all || field_ == FilterField::original) {
      if (matcher_.matches(session_.rowOriginalText(row))) return true;
      if (modUpdate && matcher_.matches(session_.rowOldOriginalText(row))) return true;
    }
    if ((all || field_ == FilterField::modText) && matcher_.matches(session_.rowModText(row))) {
      return true;
    }
    if ((all || field_ == FilterField::section) && matchesBytes(session_.rowSectionText(row))) {
      return true;
    }
    if ((all || field_ == FilterField::subsection) &&
        matchesBytes(session_.rowSubsectionText(row))) {
      return true;
    }
    return (all || field_ == FilterField::comment) && matchesBytes(session_.rowComment(row));
  }

 private:
  // The keys are UTF-8; they are decoded into one buffer, reused.
  bool matchesBytes(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX / 2)) return false;
    buffer_.resize(bytes.size());
    // Most keys are ASCII, which widens unit by unit.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      std::copy(bytes.begin(), bytes.end(), buffer_.begin());
      return matcher_.matches(buffer_);
    }
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(buffer_.data(), static_cast<std::int32_t>(buffer_.size()), &length,
                         bytes.data(), static_cast<std::int32_t>(bytes.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status)) return false;
    return matcher_.matches(std::u16string_view(buffer_.data(), static_cast<std::size_t>(length)));
  }

  const Session& session_;
  FilterField field_;
  TextMatcher matcher_;
  std::u16string buffer_;
};

void keepRows(const RowFacts& facts, std::span<const std::int32_t> order, std::int32_t from,
              std::int32_t to, const RowFilter& filter, const std::optional<TextMatcher>& matcher,
              std::vector<std::int32_t>& kept) {
  std::optional<RowTextTest> textTest;
  if (matcher) textTest.emplace(facts.session, filter.field, *matcher);
  for (std::int32_t at = from; at < to; ++at) {
    const std::int32_t row = order.empty() ? at : order[static_cast<std::size_t>(at)];
    if (!keptByKind(facts, row, filter.kind)) continue;
    if (textTest && !(*textTest)(row)) continue;
    kept.push_back(row);
  }
}

}  // namespace

std::optional<std::vector<std::int32_t>> filterRows(const RowFacts& facts,
                                                    std::span<const std::int32_t> order,
                                                    const RowFilter& filter,
                                                    std::u16string* error) {
  std::optional<TextMatcher> matcher;
  if (!filter.pattern.empty()) {
    matcher = TextMatcher::compile(filter.pattern, filter.patternKind, error);
    if (!matcher) return std::nullopt;
  }
  const std::int32_t count =
      order.empty() ? facts.session.rowCount() : static_cast<std::int32_t>(order.size());
  // Small lists are not worth a thread.
  constexpr std::int32_t kRowsForTwoThreads = 20000;
  std::vector<std::int32_t> kept;
  if (count < kRowsForTwoThreads) {
    keepRows(facts, order, 0, count, filter, matcher, kept);
    return kept;
  }
  const std::int32_t middle = count / 2;
  std::vector<std::int32_t> secondHalf;
  runSideBySide([&] { keepRows(facts, order, middle, count, filter, matcher, secondHalf); },
                [&] { keepRows(facts, order, 0, middle, filter, matcher, kept); });
  kept.insert(kept.end(), secondHalf.begin(), secondHalf.end());
  return kept;
}

std::vector<std::int32_t> contextOrder(const Session& session) {
  // The first row of each message stands for all its forms: sorting
  // messages keeps the forms together, in their order. Each message's keys
  // are looked up once, not at every comparison.
  struct Message {
    std::string_view subsection;
    std::string_view section;
    std::string_view comment;
    std::int32_t firstRow;
  };
  std::vector<Message> messages;
  messages.reserve(static_cast<std::size_t>(session.messageCount()));
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowForm(row) != 0) continue;
    messages.push_back({session.rowSubsectionText(row), session.rowSectionText(row),
                        session.rowComment(row), row});
  }
  std::sort(messages.begin(), messages.end(), [](const Message& a, const Message& b) {
    if (const int c = a.subsection.compare(b.subsection); c != 0) return c < 0;
    if (const int c = a.section.compare(b.section); c != 0) return c < 0;
    if (const int c = a.comment.compare(b.comment); c != 0) return c < 0;
    return a.firstRow < b.firstRow;
  });
  std::vector<std::int32_t> rows;
  rows.reserve(static_cast<std::size_t>(session.rowCount()));
  for (const Message& message : messages) {
    const std::int32_t forms = std::max(session.rowFormCount(message.firstRow), 1);
    for (std::int32_t form = 0; form < forms; ++form) rows.push_back(message.firstRow + form);
  }
  return rows;
}

}  // namespace sorvane
