#include "memory/memory_sources.h"

#include "platform/deferred_dialogs.h"
#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error.h"
#include "platform/utf8.h"
#include "qm/qm_reader.h"
#include "textio/exchange_file.h"
#include "textio/po_reader.h"
#include "textio/xml_exchange.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>

namespace sorvane {

namespace {

enum class SourceKind { qm, po, xliff, ts, tmx, other };

SourceKind kindOf(std::u16string_view path) {
  std::u16string extension(extensionPart(path));
  for (char16_t& unit : extension) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  }
  if (extension == u".qm") return SourceKind::qm;
  if (extension == u".po") return SourceKind::po;
  if (extension == u".xlf" || extension == u".xliff") return SourceKind::xliff;
  if (extension == u".ts") return SourceKind::ts;
  if (extension == u".tmx") return SourceKind::tmx;
  return SourceKind::other;
}

// Keeps the first message a reader shows, as the reason it failed.
class FirstMessage : public DeferredDialogs {
 public:
  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override {
    if (first.empty()) first = text;
    return DeferredDialogs::showMessage(owner, text, caption, buttons, icon);
  }
  std::u16string first;
};

std::u16string textOfBytes(std::string_view bytes) {
  if (isValidUtf8(bytes)) return fromUtf8(bytes);
  return {bytes.begin(), bytes.end()};  // Latin-1, as Qt's old files hold it
}

// A language named by a file name's end: "qt_de.qm", "app_pt_BR.ts".
std::string languageOfName(std::u16string_view path) {
  std::u16string_view name = fileNamePart(path);
  name = name.substr(0, name.rfind(u'.'));
  for (const std::size_t back : {5U, 2U, 3U}) {
    if (name.size() <= back + 1) continue;
    const std::u16string_view tail = name.substr(name.size() - back);
    const char16_t before = name[name.size() - back - 1];
    if (before != u'_' && before != u'-' && before != u'.') continue;
    std::string code = memoryLanguage(toUtf8(tail));
    if (!code.empty() && (back != 5 || code.size() == 5)) return code;
  }
  return {};
}

// The value of an attribute in the start of an XML file ("language" of
// <TS language="de_DE">), as far as a plain search can tell.
std::string attributeInStart(std::span<const std::uint8_t> bytes, std::string_view name) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                              std::min<std::size_t>(bytes.size(), 1 << 16));
  const std::string wanted = std::string(name) + "=\"";
  for (std::size_t at = text.find(wanted); at != std::string_view::npos;
       at = text.find(wanted, at + 1)) {
    if (at > 0 && text[at - 1] != ' ' && text[at - 1] != '\t' && text[at - 1] != '\n' &&
        text[at - 1] != '\r')
      continue;
    const std::size_t start = at + wanted.size();
    const std::size_t end = text.find('"', start);
    if (end != std::string_view::npos) return std::string(text.substr(start, end - start));
  }
  return {};
}

// The "Language:" of a PO file's header.
std::string poLanguage(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                              std::min<std::size_t>(bytes.size(), 1 << 16));
  const std::size_t at = text.find("\"Language: ");
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + 11;
  const std::size_t end = text.find_first_of("\\\"", start);
  return end == std::string_view::npos ? std::string()
                                       : std::string(text.substr(start, end - start));
}

std::string chosen(std::string_view named, std::string_view fallback) {
  std::string code = memoryLanguage(named);
  return code.empty() ? memoryLanguage(fallback) : code;
}

// Whether a file is a QM file without messages: Qt's empty catalogue of
// the source language, or one that only names the files that hold them.
bool qmWithoutMessages(std::u16string_view path) {
  FileBytes bytes;
  std::string ignored;
  static constexpr std::uint8_t kMagic[16] = {0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95,
                                              0xCD, 0x21, 0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD};
  if (!readExchangeFile(path, bytes, ignored) || bytes.size() < 16 ||
      !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()))
    return false;
  constexpr std::uint8_t kHashes = 0x42;
  constexpr std::uint8_t kMessages = 0x69;
  for (std::size_t at = 16; at + 5 <= bytes.size();) {
    const std::uint32_t length = (std::uint32_t{bytes[at + 1]} << 24) |
                                 (std::uint32_t{bytes[at + 2]} << 16) |
                                 (std::uint32_t{bytes[at + 3]} << 8) | bytes[at + 4];
    if ((bytes[at] == kHashes || bytes[at] == kMessages) && length > 0) return false;
    at += 5 + std::size_t{length};
  }
  return true;
}

std::optional<std::vector<MemorySegment>> qmSegments(std::u16string_view path,
                                                     const MemorySourceOptions& options,
                                                     std::u16string& error) {
  QmDocument document;
  FirstMessage dialogs;
  QmReadOptions read;
  if (!readQmFile(path, document, read, dialogs)) {
    if (qmWithoutMessages(path)) return std::vector<MemorySegment>();
    error = dialogs.first.empty() ? u"it is not a QM file" : dialogs.first;
    return std::nullopt;
  }
  const std::string named(document.languageBlock.begin(), document.languageBlock.end());
  std::string language = memoryLanguage(named);
  if (language.empty()) language = languageOfName(path);
  if (language.empty()) language = memoryLanguage(options.targetLanguage);
  if (language.empty()) {
    error = u"it names no language";
    return std::nullopt;
  }
  std::vector<MemorySegment> segments;
  for (std::int32_t entry = 0; entry < document.translations.count(); ++entry) {
    const std::string_view source = document.sectionTexts.view(entry);
    const std::u16string_view translation = document.translations.view(entry);
    if (source.empty() || translation.empty()) continue;
    segments.push_back({textOfBytes(source), memoryLanguage(options.sourceLanguage),
                        std::u16string(translation), language,
                        std::string(document.subsectionTexts.view(entry))});
  }
  return segments;
}

// A unit read from a tool's file: its key's context, or the tool's own
// message context.
std::string contextOf(const ReadUnits::Unit& unit) {
  if (const std::optional<UnitKey> key = unitKeyFromId(unit.id())) return key->subsection;
  return unit.keyed() ? std::string(unit.id()) : std::string();
}

std::vector<MemorySegment> unitSegments(const ReadUnits& units, const std::string& sourceLanguage,
                                        const std::string& targetLanguage) {
  std::vector<MemorySegment> segments;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const ReadUnits::Unit unit = units[i];
    if (unit.fuzzy()) continue;
    const std::string context = contextOf(unit);
    const std::size_t forms = std::min(unit.sourceCount(), unit.translationCount());
    for (std::size_t form = 0; form < forms; ++form) {
      if (unit.source(form).empty() || unit.translation(form).empty()) continue;
      segments.push_back({std::u16string(unit.source(form)), sourceLanguage,
                          std::u16string(unit.translation(form)), targetLanguage, context});
    }
  }
  return segments;
}

}  // namespace

bool isMemorySourceName(std::u16string_view path) { return kindOf(path) != SourceKind::other; }

std::vector<std::u16string> memorySourceFiles(std::u16string_view path) {
  if (!isFolder(path)) return {std::u16string(path)};
  std::vector<std::u16string> files;
  std::error_code error;
  namespace fs = std::filesystem;
  for (fs::recursive_directory_iterator
           it(nativePath(path), fs::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) {
      std::u16string file = pathFromNative(it->path().string());
      if (isMemorySourceName(file)) files.push_back(std::move(file));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::optional<std::vector<MemorySegment>> readMemorySource(std::u16string_view path,
                                                           const MemorySourceOptions& options,
                                                           std::u16string& error) {
  const SourceKind kind = kindOf(path);
  if (kind == SourceKind::qm) return qmSegments(path, options, error);
  if (kind == SourceKind::other) {
    error = u"it is not a QM, PO, XLIFF, TS or TMX file";
    return std::nullopt;
  }
  FileBytes bytes;
  std::string reason;
  if (!readExchangeFile(path, bytes, reason)) {
    error = fromUtf8(reason);
    return std::nullopt;
  }
  std::string sourceLanguage = memoryLanguage(options.sourceLanguage);
  std::string targetLanguage;
  std::optional<ReadUnits> units;
  switch (kind) {
    case SourceKind::po:
      targetLanguage = chosen(poLanguage(bytes), options.targetLanguage);
      units = parsePo(bytes, reason);
      break;
    case SourceKind::xliff:
      sourceLanguage = chosen(attributeInStart(bytes, "source-language"), sourceLanguage);
      targetLanguage = chosen(attributeInStart(bytes, "target-language"), options.targetLanguage);
      units = readXliff(bytes, reason);
      break;
    case SourceKind::ts:
      sourceLanguage = chosen(attributeInStart(bytes, "sourcelanguage"), sourceLanguage);
      targetLanguage = chosen(attributeInStart(bytes, "language"), options.targetLanguage);
      units = readTs(bytes, reason);
      break;
    case SourceKind::tmx: {
      std::optional<std::vector<MemorySegment>> segments = parseTmx(bytes, reason);
      if (!segments) error = fromUtf8(reason);
      return segments;
    }
    default:
      break;
  }
  if (!units) {
    error = fromUtf8(reason);
    return std::nullopt;
  }
  if (targetLanguage.empty()) targetLanguage = languageOfName(path);
  if (targetLanguage.empty()) {
    error = u"it names no language";
    return std::nullopt;
  }
  return unitSegments(*units, sourceLanguage, targetLanguage);
}

MemoryImportReport importIntoMemory(TranslationMemory& memory,
                                    std::span<const std::u16string> files,
                                    const MemorySourceOptions& options,
                                    const MemoryImportProgress& progress) {
  MemoryImportReport report;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (progress && !progress(i, files.size(), files[i])) {
      report.stopped = true;
      break;
    }
    std::u16string error;
    const std::optional<std::vector<MemorySegment>> segments =
        readMemorySource(files[i], options, error);
    std::optional<std::int64_t> added;
    if (segments) added = memory.add(*segments, files[i], error);
    if (!added) {
      report.failures.push_back(files[i] + u": " + error);
      continue;
    }
    ++report.files;
    report.segments += static_cast<std::int64_t>(segments->size());
    report.added += *added;
  }
  return report;
}

std::u16string memoryImportReportText(const MemoryImportReport& report) {
  const auto number = [](std::int64_t n) { return fromUtf8(std::to_string(n)); };
  std::u16string text = u"Files read: " + number(report.files) + u"\nTranslations read: " +
                        number(report.segments) + u"\nNew to the memory: " + number(report.added);
  if (report.stopped) text += u"\nThe import was stopped.";
  if (!report.failures.empty()) {
    text += u"\nFiles that could not be read: " +
            number(static_cast<std::int64_t>(report.failures.size()));
    constexpr std::size_t kShown = 10;
    for (std::size_t i = 0; i < std::min(kShown, report.failures.size()); ++i) {
      text += u"\n  " + report.failures[i];
    }
    if (report.failures.size() > kShown) text += u"\n  ...";
  }
  return text;
}

namespace {

// A language code as TMX writes it: "de-DE".
std::string tmxLanguage(std::string_view code) {
  std::string language(code);
  std::replace(language.begin(), language.end(), '_', '-');
  return language.empty() ? std::string("und") : language;
}

// XML text: the markup characters escaped, CR and TAB as references, and
// the characters XML 1.0 can't hold as empty <ph> elements that say which.
void appendEscaped(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    switch (unit) {
      case u'&':
        out += "&amp;";
        continue;
      case u'<':
        out += "&lt;";
        continue;
      case u'>':
        out += "&gt;";
        continue;
      case u'\r':
        out += "&#13;";
        continue;
      case u'\t':
        out += "&#9;";
        continue;
      case u'\n':
        out += '\n';
        continue;
      default:
        break;
    }
    if (unit < 0x20 || unit == 0xFFFE || unit == 0xFFFF) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "<ph type=\"x-char-";
      out += kHex[(unit >> 12) & 15];
      out += kHex[(unit >> 8) & 15];
      out += kHex[(unit >> 4) & 15];
      out += kHex[unit & 15];
      out += "\"/>";
      continue;
    }
    std::size_t end = i + 1;
    while (end < text.size() && text[end] >= 0x20 && text[end] != u'&' && text[end] != u'<' &&
           text[end] != u'>' && text[end] < 0xFFFE)
      ++end;
    out += toUtf8(text.substr(i, end - i));
    i = end - 1;
  }
}

void appendAttribute(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

int writeTmx(TranslationMemory& memory, std::u16string_view path, std::u16string& error) {
  bool memoryFailed = false;
  const ContentWriter write = [&](const ContentSink& put) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<tmx version=\"1.4\">\n"
        "<header creationtool=\"Sorvane\" creationtoolversion=\"1\" segtype=\"sentence\" "
        "o-tmf=\"sorvane-memory\" adminlang=\"en\" srclang=\"*all*\" datatype=\"plaintext\"/>\n"
        "<body>\n";
    int failure = 0;
    constexpr std::size_t kPiece = 1 << 16;
    const bool read = memory.forEachSegment(
        [&](const MemorySegment& segment) {
          const std::string source = tmxLanguage(segment.sourceLanguage);
          out += "<tu srclang=\"";
          appendAttribute(out, source);
          out += "\">";
          if (!segment.context.empty()) {
            out += "<prop type=\"x-context\">";
            appendEscaped(out, fromUtf8(segment.context));
            out += "</prop>";
          }
          out += "<tuv xml:lang=\"";
          appendAttribute(out, source);
          out += "\"><seg>";
          appendEscaped(out, segment.source);
          out += "</seg></tuv><tuv xml:lang=\"";
          appendAttribute(out, tmxLanguage(segment.targetLanguage));
          out += "\"><seg>";
          appendEscaped(out, segment.target);
          out += "</seg></tuv></tu>\n";
          if (out.size() >= kPiece) {
            failure = put({reinterpret_cast<const std::uint8_t*>(out.data()), out.size()});
            out.clear();
          }
          return failure == 0;
        },
        error);
    if (!read) {
      memoryFailed = true;
      return EIO;
    }
    if (failure != 0) return failure;
    out += "</body>\n</tmx>\n";
    return put({reinterpret_cast<const std::uint8_t*>(out.data()), out.size()});
  };
  const FileReplacement result = replaceFileWith(path, write);
  if (result.replaced()) return 0;
  if (!memoryFailed) error = systemErrorText(result.error != 0 ? result.error : EIO);
  return result.error != 0 ? result.error : EIO;
}

namespace {

// The text of a segment: its own text and that of its inline elements,
// with the characters the writer put in <ph type="x-char-XXXX"/> back.
void appendSegmentText(pugi::xml_node node, std::u16string& text) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += fromUtf8(child.value());
    } else if (child.type() == pugi::node_element) {
      const std::string_view type = child.attribute("type").value();
      if (std::string_view(child.name()) == "ph" && type.starts_with("x-char-") &&
          type.size() == 11) {
        unsigned unit = 0;
        const std::string_view hex = type.substr(7);
        const auto [end, fault] = std::from_chars(hex.data(), hex.data() + hex.size(), unit, 16);
        if (fault == std::errc() && end == hex.data() + hex.size()) {
          text.push_back(static_cast<char16_t>(unit));
        }
      } else {
        appendSegmentText(child, text);
      }
    }
  }
}

}  // namespace

std::optional<std::vector<MemorySegment>> parseTmx(std::span<std::uint8_t> bytes,
                                                   std::string& error) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer_inplace(
      bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata);
  if (!parsed) {
    error = std::string("it can't be parsed: ") + parsed.description() + " (byte " +
            std::to_string(parsed.offset) + ")";
    return std::nullopt;
  }
  const pugi::xml_node tmx = document.child("tmx");
  if (!tmx) {
    error = "it is not a TMX file (no tmx element)";
    return std::nullopt;
  }
  const std::string headerSource = tmx.child("header").attribute("srclang").value();
  std::vector<MemorySegment> segments;
  for (pugi::xml_node tu : tmx.child("body").children("tu")) {
    std::string context;
    for (pugi::xml_node prop : tu.children("prop")) {
      if (std::string_view(prop.attribute("type").value()) == "x-context")
        context = prop.text().get();
    }
    std::string sourceCode = tu.attribute("srclang").value();
    if (sourceCode.empty()) sourceCode = headerSource;
    struct Variant {
      std::string language;
      std::u16string text;
    };
    std::vector<Variant> variants;
    for (pugi::xml_node tuv : tu.children("tuv")) {
      Variant variant;
      variant.language = tuv.attribute("xml:lang").value();
      if (variant.language.empty()) variant.language = tuv.attribute("lang").value();
      appendSegmentText(tuv.child("seg"), variant.text);
      variants.push_back(std::move(variant));
    }
    if (variants.size() < 2) continue;
    std::size_t source = 0;
    if (sourceCode != "*all*") {
      const std::string wanted = memoryLanguage(sourceCode);
      const auto found = std::find_if(variants.begin(), variants.end(), [&](const Variant& v) {
        return memoryLanguage(v.language) == wanted;
      });
      if (found == variants.end()) continue;
      source = static_cast<std::size_t>(found - variants.begin());
    }
    for (std::size_t i = 0; i < variants.size(); ++i) {
      if (i == source) continue;
      segments.push_back({variants[source].text, memoryLanguage(variants[source].language),
                          variants[i].text, memoryLanguage(variants[i].language), context});
    }
  }
  return segments;
}

}  // namespace sorvane
