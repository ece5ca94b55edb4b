#include "textio/xml_exchange.h"

#include "checks/translation_checks.h"
#include "platform/utf8.h"

#include <pugixml.hpp>

#include <algorithm>
#include <map>

namespace sorvane {

namespace {

// The document is written without pugixml's escaping, which writes a
// carriage return as it is (a reader turns it into a line feed) and
// control characters as references XML 1.0 forbids: each text is escaped
// here, and a control character becomes an element of its own.
std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char byte : text) {
    switch (byte) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out.push_back(byte);
    }
  }
  return out;
}

enum class Flavour { xliff, ts };

// Whether the unit at i is a character XML 1.0 can't hold: a control
// character, U+FFFE, U+FFFF, or half of a surrogate pair without its other
// half.
bool outsideXml(std::u16string_view text, std::size_t i) {
  const char16_t unit = text[i];
  if (unit < 0x20) return unit != u'\t' && unit != u'\n' && unit != u'\r';
  if (unit == 0xFFFE || unit == 0xFFFF) return true;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    return i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    return i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF;
  }
  return false;
}

// Two hexadecimal digits, or four for a unit beyond 0xFF.
std::string hexCode(unsigned value) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string code;
  for (int shift = value > 0xFF ? 12 : 4; shift >= 0; shift -= 4) {
    code.push_back(kDigits[(value >> shift) & 0xF]);
  }
  return code;
}

void appendText(pugi::xml_node parent, std::u16string_view text, Flavour flavour) {
  int controls = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !outsideXml(text, i)) continue;
    if (i > start) {
      parent.append_child(pugi::node_pcdata)
          .set_value(escaped(toUtf8(text.substr(start, i - start))).c_str());
    }
    if (i < text.size()) {
      const std::string code = hexCode(text[i]);
      if (flavour == Flavour::ts) {
        // As Qt's own tools write a character XML can't hold.
        parent.append_child("byte").append_attribute("value") =
            std::string("x").append(code).c_str();
      } else {
        pugi::xml_node mark = parent.append_child("x");
        mark.append_attribute("id") = std::string("c").append(std::to_string(++controls)).c_str();
        mark.append_attribute("ctype") = std::string("x-sorvane-char-").append(code).c_str();
      }
    }
    start = i + 1;
  }
  // A text that ends in such a character ends in an empty piece of text,
  // so that the indented file adds no line break before the end tag.
  if (!text.empty() && outsideXml(text, text.size() - 1)) {
    parent.append_child(pugi::node_pcdata).set_value("");
  }
}

void setAttribute(pugi::xml_node node, const char* name, std::string_view value) {
  node.append_attribute(name) = escaped(value).c_str();
}

void appendElement(pugi::xml_node parent, const char* name, std::u16string_view text,
                   Flavour flavour) {
  appendText(parent.append_child(name), text, flavour);
}

std::string qtLanguageAsTag(std::string code) {
  std::replace(code.begin(), code.end(), '_', '-');
  return code.empty() ? std::string("und") : code;
}

std::vector<std::uint8_t> saved(const pugi::xml_document& document) {
  struct Writer : pugi::xml_writer {
    std::vector<std::uint8_t> bytes;
    void write(const void* data, std::size_t size) override {
      const auto* begin = static_cast<const std::uint8_t*>(data);
      bytes.insert(bytes.end(), begin, begin + size);
    }
  } writer;
  document.save(writer, "  ", pugi::format_indent | pugi::format_no_escapes, pugi::encoding_utf8);
  return std::move(writer.bytes);
}

// The longest text a unit may hold, as a QM text sensibly does.
constexpr std::size_t kLongestText = std::size_t{1} << 20;

// A document parsed in the buffer it was read into, with the lines of the
// buffer, for the messages.
class ParsedXml {
 public:
  // bytes: the file as read; UTF-16 (by its byte order mark or its first
  // "<") is turned into UTF-8 first. A character reference to U+0000,
  // which XML forbids and which would cut a text short, is refused.
  bool parse(std::vector<std::uint8_t>& bytes, std::string& error);
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
  bool textOf(pugi::xml_node node, std::u16string& text, std::string& error) const;

 private:
  pugi::xml_document document_;
  std::vector<std::uint8_t> converted_;
  std::vector<std::size_t> lineStarts_;
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

bool ParsedXml::textOf(pugi::xml_node node, std::u16string& text, std::string& error) const {
  text.clear();
  pugi::xml_node at = node.first_child();
  while (at && at != node) {
    bool descend = false;
    if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata) {
      text += fromUtf8(at.value());
    } else if (at.type() == pugi::node_element) {
      if (const std::optional<char16_t> character = escapedCharacter(at)) {
        text.push_back(*character);
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

bool ParsedXml::parse(std::vector<std::uint8_t>& bytes, std::string& error) {
  const bool littleEndian = bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) ||
                                                  (bytes[0] == '<' && bytes[1] == 0));
  const bool bigEndian = bytes.size() >= 2 && ((bytes[0] == 0xFE && bytes[1] == 0xFF) ||
                                               (bytes[0] == 0 && bytes[1] == '<'));
  std::vector<std::uint8_t>* buffer = &bytes;
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
    buffer = &converted_;
  }
  std::size_t start = 0;
  if (buffer->size() >= 3 && (*buffer)[0] == 0xEF && (*buffer)[1] == 0xBB && (*buffer)[2] == 0xBF) {
    start = 3;
  }
  // A line ends at LF, at CR LF and at a CR alone.
  const std::span<std::uint8_t> text = std::span(*buffer).subspan(start);
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

}  // namespace

std::vector<std::uint8_t> xliffFileBytes(const ExchangeHeader& header,
                                         std::span<const TranslationUnit> units) {
  constexpr Flavour flavour = Flavour::xliff;
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node xliff = document.append_child("xliff");
  xliff.append_attribute("version") = "1.2";
  xliff.append_attribute("xmlns") = "urn:oasis:names:tc:xliff:document:1.2";
  pugi::xml_node file = xliff.append_child("file");
  setAttribute(file, "original", header.project);
  file.append_attribute("datatype") = "plaintext";
  setAttribute(
      file, "source-language",
      header.sourceLanguage.empty() ? std::string("und") : qtLanguageAsTag(header.sourceLanguage));
  setAttribute(file, "target-language", qtLanguageAsTag(header.language));
  pugi::xml_node body = file.append_child("body");
  const auto addUnit = [](pugi::xml_node parent, const std::string& id, std::u16string_view source,
                          std::u16string_view target, const std::string& note) {
    pugi::xml_node unit = parent.append_child("trans-unit");
    setAttribute(unit, "id", id);
    unit.append_attribute("xml:space") = "preserve";
    appendElement(unit, "source", source, flavour);
    pugi::xml_node targetNode = unit.append_child("target");
    targetNode.append_attribute("state") = target.empty() ? "needs-translation" : "translated";
    appendText(targetNode, target, flavour);
    if (!note.empty()) appendElement(unit, "note", fromUtf8(note), flavour);
  };
  for (const TranslationUnit& unit : units) {
    const std::string id = unitId(unit.key);
    const auto target = [&unit](std::size_t form) {
      return form < unit.translations.size() ? std::u16string_view(unit.translations[form])
                                             : std::u16string_view();
    };
    if (!unit.plural) {
      addUnit(body, id, unit.sources.front(), target(0), unitNotes(unit.key));
      continue;
    }
    pugi::xml_node group = body.append_child("group");
    setAttribute(group, "id", id);
    group.append_attribute("restype") = "x-gettext-plurals";
    const std::size_t forms = std::max<std::size_t>(unit.translations.size(), 1);
    for (std::size_t form = 0; form < forms; ++form) {
      const std::u16string& source = unit.sources[std::min(form, unit.sources.size() - 1)];
      addUnit(group, id + "[" + std::to_string(form) + "]", source, target(form),
              form == 0 ? unitNotes(unit.key) : std::string());
    }
  }
  return saved(document);
}

std::vector<std::uint8_t> tsFileBytes(const ExchangeHeader& header,
                                      std::span<const TranslationUnit> units) {
  constexpr Flavour flavour = Flavour::ts;
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "utf-8";
  document.append_child(pugi::node_doctype).set_value("TS");
  pugi::xml_node ts = document.append_child("TS");
  ts.append_attribute("version") = "2.1";
  setAttribute(ts, "language", header.language);
  // Messages grouped by their context, in the order contexts first come.
  std::map<std::string, pugi::xml_node> contexts;
  for (const TranslationUnit& unit : units) {
    pugi::xml_node& context = contexts[unit.key.subsection];
    if (!context) {
      context = ts.append_child("context");
      appendElement(context, "name", fromUtf8(unit.key.subsection), flavour);
    }
    pugi::xml_node message = context.append_child("message");
    if (unit.plural) message.append_attribute("numerus") = "yes";
    appendElement(message, "source", fromUtf8(unit.key.section), flavour);
    if (!unit.key.comment.empty()) {
      appendElement(message, "comment", fromUtf8(unit.key.comment), flavour);
    }
    if (toUtf8(unit.sources.front()) != unit.key.section) {
      appendElement(message, "extracomment",
                    fromUtf8(std::string(kOriginalNote)) + unit.sources.front(), flavour);
    }
    pugi::xml_node translation = message.append_child("translation");
    const bool untranslated = std::all_of(unit.translations.begin(), unit.translations.end(),
                                          [](const std::u16string& text) { return text.empty(); });
    if (untranslated) translation.append_attribute("type") = "unfinished";
    if (unit.plural) {
      for (const std::u16string& form : unit.translations) {
        appendElement(translation, "numerusform", form, flavour);
      }
    } else if (!unit.translations.empty()) {
      appendText(translation, unit.translations.front(), flavour);
    }
    appendElement(message, "extra-sorvane-key", fromUtf8(unitId(unit.key)), flavour);
  }
  return saved(document);
}

std::optional<std::vector<ReadUnit>> readXliff(std::vector<std::uint8_t>& bytes,
                                               std::string& error) {
  ParsedXml xml;
  if (!xml.parse(bytes, error)) return std::nullopt;
  pugi::xml_node xliff = xml.document().child("xliff");
  if (!xliff) {
    error = "line 1: not an XLIFF file (no xliff element)";
    return std::nullopt;
  }
  std::vector<ReadUnit> units;
  std::u16string text;
  bool ok = true;
  // One form of a unit: its source and target.
  const auto read = [&](pugi::xml_node unit, ReadUnit& into) {
    ok = ok && xml.textOf(unit.child("source"), text, error);
    into.sources.push_back(text);
    pugi::xml_node target = unit.child("target");
    ok = ok && xml.textOf(target, text, error);
    into.translations.push_back(text);
    const std::string_view state = target.attribute("state").value();
    into.fuzzy = into.fuzzy || state == "needs-review-translation" || state == "needs-adaptation" ||
                 state == "needs-l10n" || state == "needs-review-adaptation" ||
                 state == "needs-review-l10n" ||
                 unit.attribute("approved").value() == std::string_view("no");
  };
  const auto begin = [&xml](pugi::xml_node node) {
    ReadUnit unit;
    const pugi::xml_attribute id = node.attribute("id");
    unit.id = id.value();
    unit.keyed = !id.empty();
    unit.line = xml.lineNumber(node);
    return unit;
  };
  forEachElement(xliff, [&](pugi::xml_node node) {
    if (!ok) return false;
    const std::string_view name = node.name();
    if (name == "group" &&
        node.attribute("restype").value() == std::string_view("x-gettext-plurals")) {
      ReadUnit unit = begin(node);
      for (pugi::xml_node form : node.children("trans-unit")) read(form, unit);
      units.push_back(std::move(unit));
      return false;
    }
    if (name == "trans-unit") {
      ReadUnit unit = begin(node);
      read(node, unit);
      units.push_back(std::move(unit));
      return false;
    }
    return true;
  });
  if (!ok) return std::nullopt;
  return units;
}

std::optional<std::vector<ReadUnit>> readTs(std::vector<std::uint8_t>& bytes, std::string& error) {
  ParsedXml xml;
  if (!xml.parse(bytes, error)) return std::nullopt;
  pugi::xml_node ts = xml.document().child("TS");
  if (!ts) {
    error = "line 1: not a TS file (no TS element)";
    return std::nullopt;
  }
  std::vector<ReadUnit> units;
  std::u16string text;
  const auto textOf = [&](pugi::xml_node node) {
    if (!xml.textOf(node, text, error)) return false;
    return true;
  };
  for (pugi::xml_node context : ts.children("context")) {
    if (!textOf(context.child("name"))) return std::nullopt;
    const std::string name = toUtf8(text);
    for (pugi::xml_node message : context.children("message")) {
      ReadUnit unit;
      unit.line = xml.lineNumber(message);
      if (!textOf(message.child("source"))) return std::nullopt;
      const std::string source = toUtf8(text);
      if (!textOf(message.child("comment"))) return std::nullopt;
      const std::string comment = toUtf8(text);
      if (!textOf(message.child("extra-sorvane-key"))) return std::nullopt;
      unit.id = toUtf8(text);
      // A message without the key (a tool added it) is keyed as Qt finds it.
      if (unit.id.empty())
        unit.id = unitId({qtMessageHash(source, comment), source, name, comment});
      std::u16string original = fromUtf8(source);
      if (!textOf(message.child("extracomment"))) return std::nullopt;
      const std::u16string prefix = fromUtf8(std::string(kOriginalNote));
      if (text.starts_with(prefix)) original = text.substr(prefix.size());
      unit.sources.push_back(original);
      pugi::xml_node translation = message.child("translation");
      const std::string_view type = translation.attribute("type").value();
      unit.fuzzy = type == "obsolete" || type == "vanished";
      if (message.attribute("numerus").value() == std::string_view("yes")) {
        for (pugi::xml_node form : translation.children("numerusform")) {
          if (!textOf(form)) return std::nullopt;
          unit.translations.push_back(text);
        }
      } else {
        if (!textOf(translation)) return std::nullopt;
        unit.translations.push_back(text);
      }
      units.push_back(std::move(unit));
    }
  }
  return units;
}

}  // namespace sorvane
