#include "textio/translation_units.h"

#include "checks/translation_checks.h"
#include "platform/message_format.h"
#include "platform/utf8.h"
#include "session/session.h"
#include "session/translation_state.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace sorvane {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kKeysListed = 10;

void appendEscaped(std::string& id, std::string_view bytes) {
  const bool utf8 = isValidUtf8(bytes);
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    if (byte == '%' || byte == '/' || value < 0x20 || value == 0x7F || (value >= 0x80 && !utf8)) {
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
UnitKey keyOfRow(const Session& session, std::int32_t row) {
  const RowEntries entries = session.rowEntries(row);
  const QmDocument& document = entries.mod >= 0 ? session.mod() : session.newOriginal();
  const std::int32_t entry = entries.mod >= 0 ? entries.mod : entries.newOriginal;
  if (entry < 0) return {};
  return {document.hashes[static_cast<std::size_t>(entry)],
          std::string(document.sectionTexts.view(entry)),
          std::string(document.subsectionTexts.view(entry)),
          std::string(document.comments.view(entry))};
}

bool rowHasKey(const Session& session, std::int32_t row) {
  const RowEntries entries = session.rowEntries(row);
  return session.rowForm(row) == 0 && (entries.mod >= 0 || entries.newOriginal >= 0);
}

}  // namespace

std::string unitId(const UnitKey& key) {
  std::string id(8, '0');
  for (int i = 0; i < 8; ++i)
    id[static_cast<std::size_t>(i)] = kHexDigits[(key.hash >> (28 - 4 * i)) & 0xF];
  for (const std::string* part : {&key.section, &key.subsection, &key.comment}) {
    id.push_back('/');
    appendEscaped(id, *part);
  }
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

std::string unitNotes(const UnitKey& key) {
  std::string text;
  const auto add = [&text](const char* title, const std::string& value) {
    if (value.empty()) return;
    if (!text.empty()) text += '\n';
    text += title;
    text += isValidUtf8(value) ? value : std::string("(not UTF-8)");
  };
  add("Context: ", key.subsection);
  add("Source text: ", key.section);
  add("Comment: ", key.comment);
  return text;
}

std::vector<TranslationUnit> translationUnits(const Session& session) {
  std::vector<TranslationUnit> units;
  std::unordered_set<std::string> ids;
  const bool languagesDiffer = modLanguageDiffersFromOriginal(session);
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (!rowHasKey(session, row)) continue;
    TranslationUnit unit;
    unit.key = keyOfRow(session, row);
    // A second entry with a key is never reached; one unit a key.
    if (!ids.insert(unitId(unit.key)).second) continue;
    const std::int32_t forms = session.rowFormCount(row);
    const RowEntries entries = session.rowEntries(row);
    const std::int32_t modForms = entries.mod >= 0 ? session.mod().forms.count(entries.mod)
                                                   : session.modPluralForms().value_or(1);
    for (std::int32_t k = 0; k < forms; ++k) {
      if (session.rowHasOriginalForm(row + k))
        unit.sources.emplace_back(session.rowOriginalText(row + k));
      if (k < modForms) unit.translations.emplace_back(session.rowModText(row + k));
    }
    if (unit.sources.empty()) unit.sources.emplace_back();
    unit.plural = forms > 1;
    unit.qtFormat = hasPlaceMarkers(unit.sources.front());
    if (messageState(session, row, languagesDiffer) == TranslationState::untranslated) {
      for (std::u16string& translation : unit.translations) translation.clear();
    }
    units.push_back(std::move(unit));
  }
  return units;
}

ImportReport importUnits(Session& session, const std::vector<ReadUnit>& units) {
  std::unordered_map<std::string, std::int32_t> rowOfId;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (rowHasKey(session, row)) rowOfId.emplace(unitId(keyOfRow(session, row)), row);
  }
  ImportReport report;
  const Session::BatchedChanges batch(session);
  std::unordered_set<std::int32_t> rowsSeen;
  const auto where = [](const ReadUnit& unit) {
    return unit.id + (unit.line > 0 ? " (line " + std::to_string(unit.line) + ")" : "");
  };
  const auto list = [](std::vector<std::string>& to, std::string item) {
    if (to.size() < kKeysListed) to.push_back(std::move(item));
  };
  for (const ReadUnit& unit : units) {
    ++report.units;
    if (!unit.keyed) {
      ++report.unkeyed;
      list(report.firstUnkeyed, "line " + std::to_string(unit.line));
      continue;
    }
    // Ids are compared as keys, so that a tool's other escaping still finds
    // the entry.
    const std::optional<UnitKey> key = unitKeyFromId(unit.id);
    const auto found = key ? rowOfId.find(unitId(*key)) : rowOfId.end();
    if (found == rowOfId.end()) {
      ++report.unknown;
      if (report.firstUnknown.size() < kKeysListed) report.firstUnknown.push_back(unit.id);
      continue;
    }
    if (unit.fuzzy) {
      ++report.fuzzy;
      continue;
    }
    const std::int32_t row = found->second;
    // The first unit of a key is the one imported.
    if (!rowsSeen.insert(row).second) {
      ++report.repeated;
      list(report.firstRepeated, where(unit));
      continue;
    }
    const std::int32_t forms = session.rowFormCount(row);
    if (static_cast<std::int32_t>(unit.translations.size()) > forms) {
      const auto beyond = std::find_if(unit.translations.begin() + forms, unit.translations.end(),
                                       [](const std::u16string& text) { return !text.empty(); });
      if (beyond != unit.translations.end()) {
        ++report.surplusForms;
        list(report.firstSurplusForms, where(unit));
      }
    }
    bool changed = false;
    for (std::int32_t k = 0; k < forms && k < static_cast<std::int32_t>(unit.translations.size());
         ++k) {
      std::u16string_view text = unit.translations[static_cast<std::size_t>(k)];
      text = text.substr(0, text.find(u'\0'));
      // An untranslated unit, or a text the file holds as the Mod does
      // (also where UTF-8 can't hold it), changes nothing.
      if (text.empty() || !session.rowModEditable(row + k) ||
          toUtf8(text) == toUtf8(session.rowModText(row + k))) {
        continue;
      }
      session.setRowModText(row + k, text);
      changed = true;
    }
    if (changed) ++report.changed;
    const std::u16string_view original = session.rowOriginalText(row);
    if (!unit.sources.empty() && toUtf8(unit.sources.front()) != toUtf8(original)) {
      ++report.sourceChanged;
      if (report.firstSourceChanged.size() < kKeysListed)
        report.firstSourceChanged.push_back(unit.id);
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
