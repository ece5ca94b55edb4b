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

bool isControl(char16_t unit) {
  return unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r';
}

std::string hexByte(unsigned value) {
  constexpr char kDigits[] = "0123456789abcdef";
  return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

void appendText(pugi::xml_node parent, std::u16string_view text, Flavour flavour) {
  int controls = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isControl(text[i])) continue;
    if (i > start) {
      parent.append_child(pugi::node_pcdata)
          .set_value(escaped(toUtf8(text.substr(start, i - start))).c_str());
    }
    if (i < text.size()) {
      const std::string code = hexByte(text[i]);
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
}

void setAttribute(pugi::xml_node node, const char* name, std::string_view value) {
  node.append_attribute(name) = escaped(value).c_str();
}

void appendElement(pugi::xml_node parent, const char* name, std::u16string_view text,
                   Flavour flavour) {
  appendText(parent.append_child(name), text, flavour);
}

std::u16string textOf(pugi::xml_node node) {
  std::u16string text;
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += fromUtf8(child.value());
    } else if (child.type() == pugi::node_element) {
      const std::string_view name = child.name();
      std::string_view code;
      if (name == "byte") {
        code = child.attribute("value").value();
        if (!code.empty() && code.front() == 'x') code.remove_prefix(1);
      } else if (name == "x") {
        code = child.attribute("ctype").value();
        if (code.starts_with("x-sorvane-char-")) {
          code.remove_prefix(15);
        } else {
          code = {};
        }
      }
      unsigned value = 0;
      const bool hex = !code.empty() && code.size() <= 4 &&
                       std::all_of(code.begin(), code.end(), [&value](char digit) {
                         const int nibble = digit >= '0' && digit <= '9'   ? digit - '0'
                                            : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                                            : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                                                                           : -1;
                         value = value * 16 + static_cast<unsigned>(nibble);
                         return nibble >= 0;
                       });
      if (hex) {
        text.push_back(static_cast<char16_t>(value));
      } else {
        text += textOf(child);
      }
    }
  }
  return text;
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

// A parse that failed, with the line of the fault.
std::string parseFault(std::span<const std::uint8_t> bytes, const pugi::xml_parse_result& result) {
  const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0));
  const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(std::min(offset, bytes.size()));
  const auto line = 1 + std::count(bytes.begin(), end, std::uint8_t{'\n'});
  return std::string("line ")
      .append(std::to_string(line))
      .append(": ")
      .append(result.description());
}

bool parse(pugi::xml_document& document, std::span<const std::uint8_t> bytes, std::string& error) {
  const pugi::xml_parse_result result = document.load_buffer(
      bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
  if (!result) error = parseFault(bytes, result);
  return static_cast<bool>(result);
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

std::optional<std::vector<ReadUnit>> readXliff(std::span<const std::uint8_t> bytes,
                                               std::string& error) {
  pugi::xml_document document;
  if (!parse(document, bytes, error)) return std::nullopt;
  pugi::xml_node xliff = document.child("xliff");
  if (!xliff) {
    error = "line 1: not an XLIFF file (no xliff element)";
    return std::nullopt;
  }
  std::vector<ReadUnit> units;
  const auto read = [](pugi::xml_node unit, ReadUnit& into) {
    into.sources.push_back(textOf(unit.child("source")));
    pugi::xml_node target = unit.child("target");
    into.translations.push_back(textOf(target));
    const std::string_view state = target.attribute("state").value();
    into.fuzzy = into.fuzzy || state == "needs-review-translation" || state == "needs-adaptation" ||
                 state == "needs-l10n" || state == "needs-review-adaptation" ||
                 state == "needs-review-l10n" ||
                 unit.attribute("approved").value() == std::string_view("no");
  };
  for (pugi::xml_node file : xliff.children("file")) {
    for (pugi::xpath_node found :
         file.select_nodes(".//trans-unit | .//group[@restype='x-gettext-plurals']")) {
      pugi::xml_node node = found.node();
      if (std::string_view(node.name()) == "group") {
        ReadUnit unit;
        unit.id = node.attribute("id").value();
        for (pugi::xml_node form : node.children("trans-unit")) read(form, unit);
        units.push_back(std::move(unit));
      } else if (std::string_view(node.parent().attribute("restype").value()) !=
                 "x-gettext-plurals") {
        ReadUnit unit;
        unit.id = node.attribute("id").value();
        read(node, unit);
        units.push_back(std::move(unit));
      }
    }
  }
  return units;
}

std::optional<std::vector<ReadUnit>> readTs(std::span<const std::uint8_t> bytes,
                                            std::string& error) {
  pugi::xml_document document;
  if (!parse(document, bytes, error)) return std::nullopt;
  pugi::xml_node ts = document.child("TS");
  if (!ts) {
    error = "line 1: not a TS file (no TS element)";
    return std::nullopt;
  }
  std::vector<ReadUnit> units;
  for (pugi::xml_node context : ts.children("context")) {
    const std::string name = toUtf8(textOf(context.child("name")));
    for (pugi::xml_node message : context.children("message")) {
      ReadUnit unit;
      const std::string source = toUtf8(textOf(message.child("source")));
      const std::string comment = toUtf8(textOf(message.child("comment")));
      unit.id = toUtf8(textOf(message.child("extra-sorvane-key")));
      // A message without the key (a tool added it) is keyed as Qt finds it.
      if (unit.id.empty())
        unit.id = unitId({qtMessageHash(source, comment), source, name, comment});
      std::u16string original = fromUtf8(source);
      const std::u16string note = textOf(message.child("extracomment"));
      const std::u16string prefix = fromUtf8(std::string(kOriginalNote));
      if (note.starts_with(prefix)) original = note.substr(prefix.size());
      unit.sources.push_back(original);
      pugi::xml_node translation = message.child("translation");
      const std::string_view type = translation.attribute("type").value();
      unit.fuzzy = type == "obsolete" || type == "vanished";
      if (message.attribute("numerus").value() == std::string_view("yes")) {
        for (pugi::xml_node form : translation.children("numerusform")) {
          unit.translations.push_back(textOf(form));
        }
      } else {
        unit.translations.push_back(textOf(translation));
      }
      units.push_back(std::move(unit));
    }
  }
  return units;
}

}  // namespace sorvane
