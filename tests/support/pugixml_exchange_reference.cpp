#include "support/pugixml_exchange_reference.h"

#include "textio/read_units.h"

#include "checks/translation_checks.h"
#include "platform/utf8.h"

#include <pugixml.hpp>

#include <algorithm>
#include <map>

namespace sorvane::test {

namespace {

// The readers of XLIFF and TS files as they were built over pugixml's
// document tree, kept as the reference the program's streaming readers
// are held to.

// The longest text a unit may hold, as a QM text sensibly does.
constexpr std::size_t kLongestText = std::size_t{1} << 20;

// Where a text is gathered: a string, or the end of the units' text.
struct StringText {
  std::u16string& text;
  void append(std::string_view utf8) { text += fromUtf8(utf8); }
  void append(char16_t unit) { text.push_back(unit); }
  std::size_t size() const { return text.size(); }
};
struct UnitText {
  ReadUnits& units;
  std::size_t start;
  void append(std::string_view utf8) { units.appendText(utf8); }
  void append(char16_t unit) { units.appendText(unit); }
  std::size_t size() const { return units.textLength(start); }
};

// A document parsed in the buffer it was read into, with the lines of the
// buffer, for the messages.
class ParsedXml {
 public:
  // bytes: the file as read; UTF-16 (by its byte order mark or its first
  // "<") is turned into UTF-8 first. A character reference to U+0000,
  // which XML forbids and which would cut a text short, is refused.
  bool parse(std::span<std::uint8_t> bytes, std::string& error);
  pugi::xml_document& document() { return document_; }

  // The line of an offset of the buffer, or of a node; "line N: " for a message.
  std::int32_t lineNumberAt(std::size_t offset) const {
    return static_cast<std::int32_t>(
        std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin());
  }
  std::int32_t lineNumber(pugi::xml_node node) const {
    return lineNumberAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(node.offset_debug(), 0)));
  }
  std::string lineAt(std::size_t offset) const {
    return "line " + std::to_string(lineNumberAt(offset)) + ": ";
  }
  std::string lineOf(pugi::xml_node node) const {
    return "line " + std::to_string(lineNumber(node)) + ": ";
  }

  // The text of an element: its character data and that of the elements
  // inside it, and the characters XML can't hold that the writers wrote as
  // elements (<byte value="x01"/>, <x ctype="x-sorvane-char-01"/>). Walked
  // without recursion, so that any depth of nesting is read safely; false
  // with the error for a text longer than kLongestText.
  bool textOf(pugi::xml_node node, std::u16string& text, std::string& error) const {
    text.clear();
    StringText out{text};
    return gatherText(node, out, error);
  }
  // The same, as the last unit's next text.
  bool sourceOf(pugi::xml_node node, ReadUnits& units, std::string& error) const {
    UnitText out{units, units.textStart()};
    if (!gatherText(node, out, error)) return false;
    units.endSource(out.start);
    return true;
  }
  bool translationOf(pugi::xml_node node, ReadUnits& units, std::string& error) const {
    UnitText out{units, units.textStart()};
    if (!gatherText(node, out, error)) return false;
    units.endTranslation(out.start);
    return true;
  }

 private:
  template <typename Text>
  bool gatherText(pugi::xml_node node, Text& text, std::string& error) const;

  pugi::xml_document document_;
  std::vector<std::uint8_t, UninitializedLargeAllocator<std::uint8_t>> converted_;
  LargeVector<std::size_t> lineStarts_;
};

// A character that stands for one XML can't hold, as the writers write it.
std::optional<char16_t> escapedCharacter(pugi::xml_node element) {
  const std::string_view name = element.name();
  std::string_view code;
  if (name == "byte") {
    code = element.attribute("value").value();
    if (!code.empty() && code.front() == 'x') code.remove_prefix(1);
  } else if (name == "x") {
    code = element.attribute("ctype").value();
    if (!code.starts_with("x-sorvane-char-")) return std::nullopt;
    code.remove_prefix(15);
  }
  if (code.empty() || code.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (const char digit : code) {
    const int nibble = digit >= '0' && digit <= '9'   ? digit - '0'
                       : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                       : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                                                      : -1;
    if (nibble < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(nibble);
  }
  return static_cast<char16_t>(value);
}

template <typename Text>
bool ParsedXml::gatherText(pugi::xml_node node, Text& text, std::string& error) const {
  pugi::xml_node at = node.first_child();
  while (at && at != node) {
    bool descend = false;
    if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata) {
      text.append(std::string_view(at.value()));
    } else if (at.type() == pugi::node_element) {
      if (const std::optional<char16_t> character = escapedCharacter(at)) {
        text.append(*character);
      } else {
        descend = true;
      }
    }
    if (text.size() > kLongestText) {
      error = lineOf(node) + "a text longer than 1 MB, more than a QM file's text may hold";
      return false;
    }
    if (descend && at.first_child()) {
      at = at.first_child();
      continue;
    }
    while (at != node && !at.next_sibling()) at = at.parent();
    if (at != node) at = at.next_sibling();
  }
  return true;
}

bool ParsedXml::parse(std::span<std::uint8_t> bytes, std::string& error) {
  const bool littleEndian = bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) ||
                                                  (bytes[0] == '<' && bytes[1] == 0));
  const bool bigEndian = bytes.size() >= 2 && ((bytes[0] == 0xFE && bytes[1] == 0xFF) ||
                                               (bytes[0] == 0 && bytes[1] == '<'));
  std::span<std::uint8_t> buffer = bytes;
  if (littleEndian || bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
      const std::uint8_t first = bytes[2 * i];
      const std::uint8_t second = bytes[2 * i + 1];
      units[i] =
          static_cast<char16_t>(littleEndian ? (second << 8) | first : (first << 8) | second);
    }
    if (!units.empty() && units.front() == 0xFEFF) units.erase(0, 1);
    const std::string utf8 = toUtf8(units);
    converted_.assign(utf8.begin(), utf8.end());
    buffer = converted_;
  }
  std::size_t start = 0;
  if (buffer.size() >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF) {
    start = 3;
  }
  // A line ends at LF, at CR LF and at a CR alone.
  const std::span<std::uint8_t> text = buffer.subspan(start);
  lineStarts_ = {0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      lineStarts_.push_back(i + 1);
    }
    // &#0; &#x0; &#00; ...: a reference to the one character no text holds.
    if (text[i] == '&' && i + 2 < text.size() && text[i + 1] == '#') {
      std::size_t digit = i + 2;
      const bool hex = text[digit] == 'x' || text[digit] == 'X';
      if (hex) ++digit;
      const std::size_t first = digit;
      while (digit < text.size() && text[digit] == '0') ++digit;
      if (digit > first && digit < text.size() && text[digit] == ';') {
        error = lineAt(i) + "a character reference to U+0000, which XML doesn't allow";
        return false;
      }
    }
  }
  const pugi::xml_parse_result result = document_.load_buffer_inplace(
      text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
  if (!result) {
    error = lineAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0))) +
            result.description();
  }
  return static_cast<bool>(result);
}

// Calls visit on every element under root in document order, without
// recursion; visit returns whether to go inside the element.
template <typename Visit>
void forEachElement(pugi::xml_node root, Visit visit) {
  pugi::xml_node at = root.first_child();
  while (at && at != root) {
    const bool inside = at.type() == pugi::node_element && visit(at);
    if (inside && at.first_child()) {
      at = at.first_child();
      continue;
    }
    while (at != root && !at.next_sibling()) at = at.parent();
    if (at != root) at = at.next_sibling();
  }
}

constexpr std::string_view kOriginalNote = "Original text: ";

std::optional<ReadUnits> xliffUnits(std::span<std::uint8_t> bytes, std::string& error) {
  ParsedXml xml;
  if (!xml.parse(bytes, error)) return std::nullopt;
  pugi::xml_node xliff = xml.document().child("xliff");
  if (!xliff) {
    error = "line 1: not an XLIFF file (no xliff element)";
    return std::nullopt;
  }
  ReadUnits units;
  units.reserveForBytes(bytes.size());
  bool ok = true;
  // One form of a unit: its source and target.
  const auto read = [&](pugi::xml_node unit) {
    ok = ok && xml.sourceOf(unit.child("source"), units, error);
    pugi::xml_node target = unit.child("target");
    ok = ok && xml.translationOf(target, units, error);
    const std::string_view state = target.attribute("state").value();
    if (state == "needs-review-translation" || state == "needs-adaptation" ||
        state == "needs-l10n" || state == "needs-review-adaptation" ||
        state == "needs-review-l10n" ||
        unit.attribute("approved").value() == std::string_view("no")) {
      units.setFuzzy(true);
    }
  };
  const auto begin = [&xml, &units](pugi::xml_node node) {
    units.startUnit(xml.lineNumber(node));
    const pugi::xml_attribute id = node.attribute("id");
    units.appendId(id.value());
    units.setKeyed(!id.empty());
  };
  forEachElement(xliff, [&](pugi::xml_node node) {
    if (!ok) return false;
    const std::string_view name = node.name();
    if (name == "group" &&
        node.attribute("restype").value() == std::string_view("x-gettext-plurals")) {
      begin(node);
      for (pugi::xml_node form : node.children("trans-unit")) read(form);
      return false;
    }
    if (name == "trans-unit") {
      begin(node);
      read(node);
      return false;
    }
    return true;
  });
  if (!ok) return std::nullopt;
  return units;
}

std::optional<ReadUnits> tsUnits(std::span<std::uint8_t> bytes, std::string& error) {
  ParsedXml xml;
  if (!xml.parse(bytes, error)) return std::nullopt;
  pugi::xml_node ts = xml.document().child("TS");
  if (!ts) {
    error = "line 1: not a TS file (no TS element)";
    return std::nullopt;
  }
  ReadUnits units;
  units.reserveForBytes(bytes.size());
  std::u16string text;
  const auto textOf = [&](pugi::xml_node node) { return xml.textOf(node, text, error); };
  const std::u16string prefix = fromUtf8(kOriginalNote);
  for (pugi::xml_node context : ts.children("context")) {
    if (!textOf(context.child("name"))) return std::nullopt;
    const std::string name = toUtf8(text);
    for (pugi::xml_node message : context.children("message")) {
      units.startUnit(xml.lineNumber(message));
      if (!textOf(message.child("source"))) return std::nullopt;
      std::u16string original = text;
      std::u16string comment;
      if (!xml.textOf(message.child("comment"), comment, error)) return std::nullopt;
      if (!textOf(message.child("extra-sorvane-key"))) return std::nullopt;
      if (!text.empty()) {
        units.appendId(toUtf8(text));
      } else {
        // A message without the key (a tool added it) is keyed as Qt finds it.
        const std::string sourceBytes = toUtf8(original);
        const std::string commentBytes = toUtf8(comment);
        units.appendId(unitId(UnitKeyView{qtMessageHash(sourceBytes, commentBytes), sourceBytes,
                                          name, commentBytes}));
      }
      if (!textOf(message.child("extracomment"))) return std::nullopt;
      if (text.starts_with(prefix)) original = text.substr(prefix.size());
      units.addSource(original);
      pugi::xml_node translation = message.child("translation");
      const std::string_view type = translation.attribute("type").value();
      units.setFuzzy(type == "obsolete" || type == "vanished");
      if (message.attribute("numerus").value() == std::string_view("yes")) {
        for (pugi::xml_node form : translation.children("numerusform")) {
          if (!xml.translationOf(form, units, error)) return std::nullopt;
        }
      } else if (!xml.translationOf(translation, units, error)) {
        return std::nullopt;
      }
    }
  }
  return units;
}

}  // namespace

std::optional<std::vector<ReadUnit>> readXliffWithPugixml(std::vector<std::uint8_t> bytes,
                                                          std::string& error) {
  const std::optional<ReadUnits> units = xliffUnits(bytes, error);
  if (!units) return std::nullopt;
  return units->held();
}

std::optional<std::vector<ReadUnit>> readTsWithPugixml(std::vector<std::uint8_t> bytes,
                                                       std::string& error) {
  const std::optional<ReadUnits> units = tsUnits(bytes, error);
  if (!units) return std::nullopt;
  return units->held();
}

}  // namespace sorvane::test
