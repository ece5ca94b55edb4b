#include "textio/translation_units.h"

#include "checks/translation_checks.h"
#include "platform/message_format.h"
#include "platform/prefetch.h"
#include "platform/side_by_side.h"
#include "platform/utf8.h"
#include "session/session.h"
#include "session/translation_state.h"
#include "textio/read_units.h"
#include "textio/row_id_index.h"
#include "textio/string_slots.h"
#include "widetext/equal_units.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace sorvane {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kKeysListed = 10;

// The characters XML can't hold (U+FFFE, U+FFFF) are escaped with the
// control bytes, so that an id goes into an XML attribute as it is.
bool isXmlNoncharacter(std::string_view bytes, std::size_t at) {
  return at + 2 < bytes.size() && bytes[at] == '\xEF' && bytes[at + 1] == '\xBF' &&
         (bytes[at + 2] == '\xBE' || bytes[at + 2] == '\xBF');
}

void appendEscaped(std::string& id, std::string_view bytes) {
  // Most parts are printable ASCII without '%' and '/', kept as they are.
  if (std::all_of(bytes.begin(), bytes.end(), [](char byte) {
        return byte >= 0x20 && byte < 0x7F && byte != '%' && byte != '/';
      })) {
    id += bytes;
    return;
  }
  const bool utf8 = isValidUtf8(bytes);
  std::size_t escapedUpTo = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const char byte = bytes[at];
    const auto value = static_cast<unsigned char>(byte);
    if (utf8 && isXmlNoncharacter(bytes, at)) escapedUpTo = at + 3;
    if (byte == '%' || byte == '/' || value < 0x20 || value == 0x7F || (value >= 0x80 && !utf8) ||
        at < escapedUpTo) {
      id.push_back('%');
      id.push_back(kHexDigits[value >> 4]);
      id.push_back(kHexDigits[value & 0xF]);
    } else {
      id.push_back(byte);
    }
  }
}

int hexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

std::optional<std::string> unescaped(std::string_view part) {
  std::string bytes;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] != '%') {
      bytes.push_back(part[i]);
      continue;
    }
    if (i + 2 >= part.size()) return std::nullopt;
    const int high = hexValue(part[i + 1]);
    const int low = hexValue(part[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return bytes;
}

// The key of a row: from the Mod entry where the Mod has one, else from the
// new original (a new string of "Mod update").
UnitKeyView keyOfRow(const Session& session, std::int32_t row) {
  const RowEntries entries = session.rowEntries(row);
  const QmDocument& document = entries.mod >= 0 ? session.mod() : session.newOriginal();
  const std::int32_t entry = entries.mod >= 0 ? entries.mod : entries.newOriginal;
  if (entry < 0) return {};
  return {document.hashes[static_cast<std::size_t>(entry)], document.sectionTexts.view(entry),
          document.subsectionTexts.view(entry), document.comments.view(entry)};
}

// Whether two texts are the same once written as UTF-8, where an unpaired
// surrogate, which UTF-8 can't hold, is U+FFFD.
bool sameInUtf8(std::u16string_view a, std::u16string_view b) {
  if (equalUnits(a, b)) return true;
  const auto surrogate = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; };
  if (std::none_of(a.begin(), a.end(), surrogate) && std::none_of(b.begin(), b.end(), surrogate)) {
    return false;
  }
  return toUtf8(a) == toUtf8(b);
}

struct KeyViewHash {
  std::size_t operator()(const UnitKeyView& key) const {
    const std::hash<std::string_view> text;
    return key.hash ^ (text(key.section) * 3) ^ (text(key.subsection) * 5) ^
           (text(key.comment) * 7);
  }
};

bool rowHasKey(const Session& session, std::int32_t row) {
  const RowEntries entries = session.rowEntries(row);
  return session.rowForm(row) == 0 && (entries.mod >= 0 || entries.newOriginal >= 0);
}

}  // namespace

void appendUnitId(std::string& out, const UnitKeyView& key) {
  for (int i = 0; i < 8; ++i) out.push_back(kHexDigits[(key.hash >> (28 - 4 * i)) & 0xF]);
  for (const std::string_view part : {key.section, key.subsection, key.comment}) {
    out.push_back('/');
    appendEscaped(out, part);
  }
}

std::string unitId(const UnitKeyView& key) {
  std::string id;
  appendUnitId(id, key);
  return id;
}

std::optional<UnitKey> unitKeyFromId(std::string_view id) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t slash = id.find('/', start);
    parts.push_back(id.substr(start, slash == std::string_view::npos ? slash : slash - start));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  if (parts.size() != 4 || parts[0].size() != 8) return std::nullopt;
  UnitKey key;
  for (const char digit : parts[0]) {
    const int value = hexValue(digit);
    if (value < 0) return std::nullopt;
    key.hash = (key.hash << 4) | static_cast<std::uint32_t>(value);
  }
  std::string* fields[] = {&key.section, &key.subsection, &key.comment};
  for (std::size_t i = 0; i < 3; ++i) {
    std::optional<std::string> bytes = unescaped(parts[i + 1]);
    if (!bytes) return std::nullopt;
    *fields[i] = std::move(*bytes);
  }
  return key;
}

std::string unitNotes(const UnitKeyView& key) {
  std::string text;
  const auto add = [&text](const char* title, std::string_view value) {
    if (value.empty()) return;
    if (!text.empty()) text += '\n';
    text += title;
    text += isValidUtf8(value) ? value : std::string_view("(not UTF-8)");
  };
  add("Context: ", key.subsection);
  add("Source text: ", key.section);
  add("Comment: ", key.comment);
  return text;
}

SessionUnits::SessionUnits(const Session& session)
    : session_(session), languagesDiffer_(modLanguageDiffersFromOriginal(session)) {
  // A second entry with a key is never reached; one unit a key, the first
  // row that has it.
  const KeyViewHash hash;
  StringSlots seen;
  seen.reserve(static_cast<std::size_t>(session.rowCount()));
  ownRows_.reserve(static_cast<std::size_t>(session.rowCount()));
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (!rowHasKey(session, row)) continue;
    const UnitKeyView key = keyOfRow(session, row);
    const std::size_t keyHash = hash(key);
    const auto sameKey = [&](std::uint32_t unit) {
      return keyOfRow(session, ownRows_[unit]) == key;
    };
    if (seen.findWhere(keyHash, sameKey)) continue;
    seen.add(keyHash, static_cast<std::uint32_t>(ownRows_.size()));
    ownRows_.push_back(row);
  }
}

const UnitView& SessionUnits::unit(std::size_t i) {
  const std::int32_t row = (*rows_)[i];
  const std::int32_t forms = session_.rowFormCount(row);
  const RowEntries entries = session_.rowEntries(row);
  const std::int32_t modForms = entries.mod >= 0 ? session_.mod().forms.count(entries.mod)
                                                 : session_.modPluralForms().value_or(1);
  sources_.clear();
  translations_.clear();
  for (std::int32_t k = 0; k < forms; ++k) {
    if (session_.rowHasOriginalForm(row + k)) sources_.push_back(session_.rowOriginalText(row + k));
    if (k < modForms) translations_.push_back(session_.rowModText(row + k));
  }
  if (sources_.empty()) sources_.emplace_back();
  // An untranslated message goes out untranslated, so that tools count it.
  if (messageState(session_, row, languagesDiffer_) == TranslationState::untranslated) {
    for (std::u16string_view& translation : translations_) translation = {};
  }
  view_ = {keyOfRow(session_, row), forms > 1, hasPlaceMarkers(sources_.front()), sources_,
           translations_};
  return view_;
}

UnitKeyView SessionUnits::key(std::size_t i) const { return keyOfRow(session_, (*rows_)[i]); }

std::unique_ptr<UnitSource> SessionUnits::another() const {
  return std::unique_ptr<UnitSource>(new SessionUnits(session_, languagesDiffer_, *rows_));
}

int SessionUnits::prefetchSteps() const { return 1 + Session::kRowPrefetchSteps; }

void SessionUnits::prefetch(std::size_t i, int step) const {
  if (i >= rows_->size()) return;
  if (step == 0) {
    prefetchMemory(rows_->data() + i);
  } else {
    session_.prefetchRow((*rows_)[i], step - 1);
  }
}

const UnitView& HeldUnits::unit(std::size_t i) {
  const TranslationUnit& unit = units_[i];
  sources_.assign(unit.sources.begin(), unit.sources.end());
  translations_.assign(unit.translations.begin(), unit.translations.end());
  view_ = {unit.key.view(), unit.plural, unit.qtFormat, sources_, translations_};
  return view_;
}

std::vector<TranslationUnit> translationUnits(const Session& session) {
  SessionUnits source(session);
  std::vector<TranslationUnit> units;
  units.reserve(source.count());
  for (std::size_t i = 0; i < source.count(); ++i) {
    const UnitView& view = source.unit(i);
    TranslationUnit unit{{view.key.hash, std::string(view.key.section),
                          std::string(view.key.subsection), std::string(view.key.comment)},
                         view.plural,
                         view.qtFormat,
                         {view.sources.begin(), view.sources.end()},
                         {view.translations.begin(), view.translations.end()}};
    units.push_back(std::move(unit));
  }
  return units;
}

ImportReport importUnits(Session& session, const ReadUnits& units) {
  return UnitRows(session).importInto(session, units);
}

UnitRows::UnitRows(const Session& session) : rows_(std::make_unique<RowIdIndex>()) {
  // The rows that an export gives units: one a key.
  std::string rowId;
  const SessionUnits exported(session);
  rows_->reserve(exported.rows().size());
  for (const std::int32_t row : exported.rows()) {
    rowId.clear();
    appendUnitId(rowId, keyOfRow(session, row));
    rows_->add(rowId, row);
  }
}

UnitRows::UnitRows(UnitRows&&) noexcept = default;
UnitRows::~UnitRows() = default;

void UnitRows::expectAnyOrder() {
  rows_->makeTable();
  anyOrder_ = true;
}

namespace {

// Runs work(begin, end) over [0, count) in two halves side by side where a
// second thread can be had and the count makes it worth one.
template <typename Work>
void inHalves(std::size_t count, const Work& work) {
  constexpr std::size_t kWorthSplitting = 8192;
  if (count < kWorthSplitting) {
    work(std::size_t{0}, count);
    return;
  }
  const std::size_t half = count / 2;
  runSideBySide([&] { work(half, count); }, [&] { work(std::size_t{0}, half); });
}

}  // namespace

ImportReport UnitRows::importInto(Session& session, const ReadUnits& units) {
  const RowIdIndex& rowOfId = *rows_;
  ImportReport report;
  const Session::BatchedChanges batch(session);
  // Each unit's row, or -1: looked up on two threads, each from its own
  // place (units that come back in order come at the rows of their places).
  LargeVector<std::int32_t> rowOfUnit(units.size());
  inHalves(units.size(), [&](std::size_t begin, std::size_t end) {
    RowIdIndex::Cursor cursor{begin};
    // Out of the rows' order each find is a few jumps through memory: ids
    // are hashed some units ahead and what their finds read is fetched step
    // by step.
    constexpr std::size_t kAhead = 4;
    constexpr auto kSteps = static_cast<std::size_t>(RowIdIndex::kPrefetchSteps);
    std::array<std::size_t, 4 * kAhead * kSteps> hashes{};
    const auto hashAt = [&hashes](std::size_t i) -> std::size_t& {
      return hashes[i % hashes.size()];
    };
    for (std::size_t i = begin; i < end; ++i) {
      const ReadUnits::Unit unit = units[i];
      std::size_t hash = 0;
      if (anyOrder_) {
        for (std::size_t step = 0; step < kSteps; ++step) {
          const std::size_t ahead = i + (kSteps - step) * kAhead;
          if (ahead >= end || !units[ahead].keyed()) continue;
          if (step == 0) hashAt(ahead) = StringSlots::hashOf(units[ahead].id());
          rowOfId.prefetch(hashAt(ahead), static_cast<int>(step));
        }
        hash = i >= begin + kSteps * kAhead ? hashAt(i) : StringSlots::hashOf(unit.id());
      }
      std::optional<std::int32_t> found;
      if (unit.keyed()) {
        // Ids are compared as keys, so that a tool's other escaping still
        // finds the entry; most come back as they went out.
        found = anyOrder_ ? rowOfId.find(unit.id(), hash, cursor) : rowOfId.find(unit.id(), cursor);
        if (!found) {
          if (const std::optional<UnitKey> key = unitKeyFromId(unit.id()))
            found = rowOfId.find(unitId(*key), cursor);
        }
      }
      rowOfUnit[i] = found.value_or(-1);
    }
  });
  // The unit stored at each row: the first of its key.
  constexpr std::uint32_t kNoUnit = std::numeric_limits<std::uint32_t>::max();
  LargeVector<std::uint32_t> unitAtRow(static_cast<std::size_t>(session.rowCount()), kNoUnit);
  const auto where = [](const ReadUnits::Unit& unit) {
    return std::string(unit.id()) +
           (unit.line() > 0 ? " (line " + std::to_string(unit.line()) + ")" : "");
  };
  const auto list = [](std::vector<std::string>& to, std::string item) {
    if (to.size() < kKeysListed) to.push_back(std::move(item));
  };
  std::size_t acceptedCount = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const ReadUnits::Unit unit = units[i];
    ++report.units;
    if (!unit.keyed()) {
      ++report.unkeyed;
      list(report.firstUnkeyed, "line " + std::to_string(unit.line()));
      continue;
    }
    const std::int32_t row = rowOfUnit[i];
    if (row < 0) {
      ++report.unknown;
      if (report.firstUnknown.size() < kKeysListed) report.firstUnknown.emplace_back(unit.id());
      continue;
    }
    if (unit.fuzzy()) {
      ++report.fuzzy;
      continue;
    }
    // The first unit of a key is the one imported.
    std::uint32_t& stored = unitAtRow[static_cast<std::size_t>(row)];
    if (stored != kNoUnit) {
      ++report.repeated;
      list(report.firstRepeated, where(unit));
      continue;
    }
    stored = static_cast<std::uint32_t>(i);
    ++acceptedCount;
  }
  // The units found are compared in the rows' order, not the file's: a tool
  // that regroups them (TS by context) would otherwise make every unit a
  // jump through the session's lists. What is listed stays in the file's
  // order.
  LargeVector<std::pair<std::int32_t, std::uint32_t>> accepted;
  accepted.reserve(acceptedCount);
  for (std::size_t row = 0; row < unitAtRow.size(); ++row) {
    if (unitAtRow[row] != kNoUnit)
      accepted.emplace_back(static_cast<std::int32_t>(row), unitAtRow[row]);
  }
  enum : std::uint8_t { surplus = 1, sourceChanged = 2 };
  LargeVector<std::uint8_t> flags(units.size(), 0);
  // The texts that differ, found on two threads and stored on this one.
  struct Change {
    std::int32_t row;
    std::uint32_t unit;
    std::uint32_t form;
  };
  struct Half {
    std::vector<Change> changes;
    std::int32_t changed = 0;
    std::int32_t surplusForms = 0;
    std::int32_t sourceChanged = 0;
  };
  std::array<Half, 2> halves;
  const Session& reading = session;
  inHalves(accepted.size(), [&](std::size_t begin, std::size_t end) {
    Half& half = halves[begin == 0 ? 0 : 1];
    for (std::size_t at = begin; at < end; ++at) {
      // Units in the rows' order are out of the file's: what the next ones
      // need is asked for ahead, each step once the one before has come.
      constexpr std::size_t kAhead = 8;
      if (at + 3 * kAhead < end) units.prefetchRecord(accepted[at + 3 * kAhead].second);
      if (at + 2 * kAhead < end) units.prefetchSpans(accepted[at + 2 * kAhead].second);
      if (at + kAhead < end) units.prefetchTexts(accepted[at + kAhead].second);
      const auto [row, i] = accepted[at];
      const ReadUnits::Unit unit = units[i];
      std::uint8_t flag = 0;
      const std::int32_t forms = reading.rowFormCount(row);
      const auto translations = static_cast<std::int32_t>(unit.translationCount());
      for (std::int32_t k = forms; k < translations; ++k) {
        if (!unit.translation(static_cast<std::size_t>(k)).empty()) {
          ++half.surplusForms;
          flag |= surplus;
          break;
        }
      }
      bool changed = false;
      for (std::int32_t k = 0; k < forms && k < translations; ++k) {
        std::u16string_view text = unit.translation(static_cast<std::size_t>(k));
        const std::u16string_view modText = reading.rowModText(row + k);
        // Most texts come back as they went out: equal to the Mod's, which
        // holds no U+0000, they need no look for one.
        if (equalUnits(text, modText)) continue;
        text = text.substr(0, text.find(u'\0'));
        // An untranslated unit, or a text the file holds as the Mod does
        // (also where UTF-8 can't hold it), changes nothing.
        if (text.empty() || !reading.rowModEditable(row + k) || sameInUtf8(text, modText)) {
          continue;
        }
        half.changes.push_back({row + k, i, static_cast<std::uint32_t>(k)});
        changed = true;
      }
      if (changed) ++half.changed;
      const std::u16string_view original = reading.rowOriginalText(row);
      if (unit.sourceCount() > 0 && !sameInUtf8(unit.source(0), original)) {
        ++half.sourceChanged;
        flag |= sourceChanged;
      }
      flags[i] = flag;
    }
  });
  for (const Half& half : halves) {
    for (const Change& change : half.changes) {
      std::u16string_view text = units[change.unit].translation(change.form);
      session.setRowModText(change.row, text.substr(0, text.find(u'\0')));
    }
    report.changed += half.changed;
    report.surplusForms += half.surplusForms;
    report.sourceChanged += half.sourceChanged;
  }
  for (std::size_t i = 0; i < flags.size(); ++i) {
    if ((flags[i] & surplus) != 0) list(report.firstSurplusForms, where(units[i]));
    if ((flags[i] & sourceChanged) != 0 && report.firstSourceChanged.size() < kKeysListed) {
      report.firstSourceChanged.emplace_back(units[i].id());
    }
  }
  if (report.changed > 0) session.setModified(true);
  return report;
}

std::u16string importReportText(const ImportReport& report) {
  std::u16string text = formatMessage(
      u"%d unit(s) read: %d translation(s) changed, %d marked for review (not imported), %d "
      u"with a key the Mod lacks (skipped), %d made for another Original text (imported).",
      {report.units, report.changed, report.fuzzy, report.unknown, report.sourceChanged});
  const auto list = [&text](std::u16string_view title, const std::vector<std::string>& ids) {
    if (ids.empty()) return;
    text += u"\r\n";
    text += title;
    for (const std::string& id : ids) text += u"\r\n  " + fromUtf8(id);
  };
  if (report.unkeyed + report.repeated + report.surplusForms > 0) {
    text += formatMessage(
        u" Also %d without a key (skipped), %d with a key given before (skipped), "
        u"%d with more forms than the message has (those left out).",
        {report.unkeyed, report.repeated, report.surplusForms});
  }
  list(u"Keys the Mod lacks:", report.firstUnknown);
  list(u"Made for another Original text:", report.firstSourceChanged);
  list(u"Without a key:", report.firstUnkeyed);
  list(u"A key given before:", report.firstRepeated);
  list(u"More forms than the message has:", report.firstSurplusForms);
  return text;
}

}  // namespace sorvane
