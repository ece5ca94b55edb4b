#include "textio/exchange_writers.h"

#include "platform/large_allocation.h"
#include "platform/pieces_in_order.h"
#include "platform/utf8.h"
#include "qm/plural_rules.h"
#include "textio/string_slots.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

// The files are written straight from the units' views to their sink: no
// document model, no text copied on the way. Their shape is the one
// gettext's and pugixml's writers gave them, which the tools and the
// readers take as they did.

namespace sorvane {

namespace {

// Hands the text on to a sink in pieces through a buffer of its own: the
// files are written a character at a time.
class TextOut {
 public:
  explicit TextOut(const TextSink& put) : put_(put) {}
  ~TextOut() { flush(); }
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  void push_back(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }
  TextOut& operator+=(std::string_view text) {
    if (text.size() > sizeof buffer_ - used_) {
      flush();
      if (text.size() > sizeof buffer_) {
        put_(text);
        return *this;
      }
    }
    std::memcpy(buffer_ + used_, text.data(), text.size());
    used_ += text.size();
    return *this;
  }
  TextOut& operator+=(char c) {
    push_back(c);
    return *this;
  }
  void flush() {
    if (used_ > 0) put_(std::string_view(buffer_, used_));
    used_ = 0;
  }
  // Room for up to bytes (at most kRoom) at the pointer returned, for a
  // writer that checks no room a byte; what it wrote is kept by commit.
  static constexpr std::size_t kRoom = 16384;
  char* room(std::size_t bytes) {
    if (sizeof buffer_ - used_ < bytes) flush();
    return buffer_ + used_;
  }
  void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

 private:
  const TextSink& put_;
  char buffer_[65536];
  std::size_t used_ = 0;
};

// UTF-16 appended as UTF-8; a unit without a UTF-8 form (an unpaired
// surrogate) becomes U+FFFD.
// The ASCII characters a format writes otherwise than as they are.
struct Specials {
  bool ascii[128] = {};
  constexpr explicit Specials(std::string_view characters, bool controls) {
    for (const char c : characters) ascii[static_cast<unsigned char>(c)] = true;
    for (int c = 0; c < 0x20 && controls; ++c) ascii[c] = true;
  }
};

template <typename Escape>
void appendUtf8(TextOut& out, std::u16string_view text, const Specials& specials, Escape escape) {
  // A stretch of units is encoded straight into the buffer, with room for
  // three bytes a unit and one more for a pair that ends past the stretch.
  constexpr std::size_t kStretch = (TextOut::kRoom - 1) / 3;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t stretchEnd = std::min(text.size(), i + kStretch);
    char* to = out.room(3 * (stretchEnd - i) + 1);
    bool escaped = false;
    while (i < stretchEnd && !escaped) {
      char32_t code = text[i];
      if (code < 0x80) {
        if (specials.ascii[code]) {
          out.commit(to);
          escape(out, static_cast<char>(code), text, i);
          escaped = true;
        } else {
          *to++ = static_cast<char>(code);
        }
        ++i;
        continue;
      }
      if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
      } else if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF) {
        // A unit the format may write otherwise; where it doesn't, an
        // unpaired surrogate becomes U+FFFD.
        out.commit(to);
        if (!escape(out, '\0', text, i)) {
          const char32_t written = code <= 0xDFFF ? 0xFFFD : code;
          out.push_back(static_cast<char>(0xE0 | (written >> 12)));
          out.push_back(static_cast<char>(0x80 | ((written >> 6) & 0x3F)));
          out.push_back(static_cast<char>(0x80 | (written & 0x3F)));
        }
        escaped = true;
        ++i;
        continue;
      }
      if (code < 0x800) {
        *to++ = static_cast<char>(0xC0 | (code >> 6));
      } else if (code < 0x10000) {
        *to++ = static_cast<char>(0xE0 | (code >> 12));
        *to++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      } else {
        *to++ = static_cast<char>(0xF0 | (code >> 18));
        *to++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *to++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      }
      *to++ = static_cast<char>(0x80 | (code & 0x3F));
      ++i;
    }
    if (!escaped) out.commit(to);
  }
}

// ---- PO ----

void appendPoEscaped(TextOut& out, char c) {
  switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\a':
      out += "\\a";
      break;
    case '\b':
      out += "\\b";
      break;
    case '\f':
      out += "\\f";
      break;
    case '\v':
      out += "\\v";
      break;
    default:
      out.push_back(c);
  }
}

// keyword "text", or keyword "" and a line of its own for each line of a
// text with line breaks, as gettext writes them.
void appendPoString(TextOut& out, std::string_view keyword, std::u16string_view text) {
  out += keyword;
  const std::size_t newline = text.find(u'\n');
  const bool split = newline != std::u16string_view::npos && newline + 1 < text.size();
  out += split ? " \"\"\n\"" : " \"";
  static constexpr Specials kPo("\"\\\t\r\a\b\f\v\n", false);
  appendUtf8(out, text, kPo, [split](TextOut& to, char c, std::u16string_view all, std::size_t i) {
    if (c == '\n') {
      // A line of its own after each break but the last.
      to += split && i + 1 < all.size() ? "\\n\"\n\"" : "\\n";
      return true;
    }
    if (c != '\0') appendPoEscaped(to, c);
    return false;
  });
  out += "\"\n";
}

// A string of bytes already UTF-8, in one piece.
void appendPoBytes(TextOut& out, std::string_view keyword, std::string_view bytes) {
  out += keyword;
  out += " \"";
  for (const char c : bytes) {
    if (c == '\n') {
      out += "\\n";
    } else {
      appendPoEscaped(out, c);
    }
  }
  out += "\"\n";
}

// ---- XML ----

enum class Flavour { xliff, ts };

void appendXmlEscaped(TextOut& out, char c) {
  switch (c) {
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
      // A reader would turn a carriage return into a line feed.
      out += "&#13;";
      break;
    default:
      out.push_back(c);
  }
}

// Two hexadecimal digits, or four for a unit beyond 0xFF.
void appendHexCode(TextOut& out, unsigned value) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = value > 0xFF ? 12 : 4; shift >= 0; shift -= 4) {
    out.push_back(kDigits[(value >> shift) & 0xF]);
  }
}

// A text, with every character XML 1.0 can't hold (control characters,
// U+FFFE, U+FFFF, unpaired surrogates) as an element: <byte value="x01"/>
// in TS, as Qt's tools write it, <x id="c1" ctype="x-sorvane-char-01"/> in
// XLIFF.
void appendXmlText(TextOut& out, std::u16string_view text, Flavour flavour) {
  int controls = 0;
  static constexpr Specials kXml("&<>\"\r", true);
  appendUtf8(out, text, kXml,
             [flavour, &controls](TextOut& to, char c, std::u16string_view all, std::size_t i) {
               const char16_t unit = all[i];
               const bool outside =
                   unit < 0x20 ? unit != u'\t' && unit != u'\n' && unit != u'\r' : c == '\0';
               if (!outside) {
                 appendXmlEscaped(to, c);
                 return false;
               }
               if (flavour == Flavour::ts) {
                 to += "<byte value=\"x";
                 appendHexCode(to, unit);
                 to += "\"/>";
               } else {
                 to += "<x id=\"c";
                 to += std::to_string(++controls);
                 to += "\" ctype=\"x-sorvane-char-";
                 appendHexCode(to, unit);
                 to += "\"/>";
               }
               return true;
             });
}

void appendXmlBytes(TextOut& out, std::string_view bytes) {
  for (const char c : bytes) appendXmlEscaped(out, c);
}

void appendElement(TextOut& out, std::string_view indent, std::string_view name,
                   std::u16string_view text, Flavour flavour) {
  out += indent;
  out += '<';
  out += name;
  out += '>';
  appendXmlText(out, text, flavour);
  out += "</";
  out += name;
  out += ">\n";
}

// A text of the key's UTF-8 bytes: written as it is where it is plain
// ASCII (nearly always), else through UTF-16 like the other texts, so that
// every character XML can't hold is escaped the same way.
void appendElement(TextOut& out, std::string_view indent, std::string_view name,
                   std::string_view utf8, Flavour flavour) {
  const bool plain = std::all_of(utf8.begin(), utf8.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte < 0x80) || c == '\t' || c == '\n';
  });
  if (!plain) {
    appendElement(out, indent, name, std::u16string_view(fromUtf8(utf8)), flavour);
    return;
  }
  out += indent;
  out += '<';
  out += name;
  out += '>';
  appendXmlBytes(out, utf8);
  out += "</";
  out += name;
  out += ">\n";
}

// Whether a UTF-16 text and a UTF-8 one are the same text, without a copy
// where they differ in length beyond what UTF-8 allows or within their
// ASCII start, or are both ASCII.
bool sameText(std::u16string_view text, std::string_view utf8) {
  // A unit takes one to three bytes (two units of a pair four).
  if (utf8.size() < text.size() || utf8.size() > 3 * text.size()) return false;
  std::size_t i = 0;
  while (i < text.size() && i < utf8.size() && text[i] < 0x80 &&
         static_cast<unsigned char>(utf8[i]) < 0x80) {
    if (text[i] != static_cast<unsigned char>(utf8[i])) return false;
    ++i;
  }
  if (i == text.size()) return i == utf8.size();
  return toUtf8(text.substr(i)) == utf8.substr(i);
}

std::string xmlLanguage(std::string code) {
  std::replace(code.begin(), code.end(), '_', '-');
  return code.empty() ? std::string("und") : code;
}

// The units in order (their places; empty: as they come), each written by
// a writer that makeWriter() gives, as write(out, unit, at). A large file's
// units are written in batches on two threads where a second can be had,
// each with a writer and a reader of the units of its own.
template <typename MakeWriter>
void writeUnits(TextOut& out, UnitSource& units, std::span<const std::uint32_t> order,
                const MakeWriter& makeWriter) {
  constexpr std::size_t kBatch = 4096;
  const std::size_t count = units.count();
  // Units out of their order are each a jump through the source's memory:
  // what the next ones read is fetched ahead, kAhead units a step.
  constexpr std::size_t kAhead = 4;
  const auto writeRange = [order](UnitSource& from, auto& writer, TextOut& to, std::size_t begin,
                                  std::size_t end) {
    const int steps = order.empty() ? 0 : from.prefetchSteps();
    for (std::size_t at = begin; at < end; ++at) {
      for (int step = 0; step < steps; ++step) {
        const std::size_t ahead = at + static_cast<std::size_t>(steps - step) * kAhead;
        if (ahead < end) from.prefetch(order[ahead], step);
      }
      writer(to, from.unit(order.empty() ? at : order[at]), at);
    }
  };
  auto write = makeWriter();
  if (count < 2 * kBatch) {
    writeRange(units, write, out, 0, count);
    return;
  }
  const std::unique_ptr<UnitSource> second = units.another();
  auto secondWrite = makeWriter();
  makePiecesInOrder((count + kBatch - 1) / kBatch,
                    [&](int worker, std::size_t batch, std::string& into) {
                      const TextSink toBuffer = [&into](std::string_view piece) { into += piece; };
                      TextOut buffered(toBuffer);
                      const std::size_t start = batch * kBatch;
                      const std::size_t end = std::min(start + kBatch, count);
                      if (worker == 0) {
                        writeRange(units, write, buffered, start, end);
                      } else {
                        writeRange(*second, secondWrite, buffered, start, end);
                      }
                    },
                    [&out](const std::string& batch) {
                      out += batch;
                      return true;
                    });
}

constexpr std::string_view kOriginalNote = "Original text: ";

}  // namespace

bool writePo(const ExchangeHeader& header, UnitSource& units, const TextSink& put) {
  TextOut file(put);
  const std::optional<std::string> pluralForms = gettextPluralForms(header.pluralRules);
  if (!pluralForms) return false;
  const auto forms = static_cast<std::size_t>(pluralFormCount(header.pluralRules));
  file += "msgid \"\"\nmsgstr \"\"\n";
  for (const std::string& line :
       {"Project-Id-Version: " + header.project, std::string("MIME-Version: 1.0"),
        std::string("Content-Type: text/plain; charset=UTF-8"),
        std::string("Content-Transfer-Encoding: 8bit"), "Language: " + header.language,
        "Plural-Forms: " + *pluralForms}) {
    file.push_back('"');
    for (const char c : line) appendPoEscaped(file, c);
    file += "\\n\"\n";
  }
  const auto makeWriter = [forms] {
    return [forms, notes = std::string(), id = std::string(), keyword = std::string()](
               TextOut& out, const UnitView& unit, std::size_t) mutable {
      out.push_back('\n');
      // A note line ending in a backslash would be joined to the next line
      // by every reader: such a line gets a space after its backslash.
      notes = unitNotes(unit.key);
      for (std::size_t start = 0; start < notes.size();) {
        std::size_t end = notes.find('\n', start);
        if (end == std::string::npos) end = notes.size();
        out += "#. ";
        out += std::string_view(notes).substr(start, end - start);
        if (end > start && notes[end - 1] == '\\') out.push_back(' ');
        out.push_back('\n');
        start = end + 1;
      }
      // Tools check a Qt format string's markers against its source's.
      if (unit.qtFormat) out += unit.plural ? "#, qt-plural-format\n" : "#, qt-format\n";
      id.clear();
      appendUnitId(id, unit.key);
      appendPoBytes(out, "msgctxt", id);
      appendPoString(out, "msgid", unit.sources.front());
      const auto translation = [&unit](std::size_t form) {
        return form < unit.translations.size() ? unit.translations[form] : std::u16string_view();
      };
      if (unit.plural) {
        appendPoString(out, "msgid_plural",
                       unit.sources.size() > 1 ? unit.sources[1] : unit.sources[0]);
        for (std::size_t form = 0; form < forms; ++form) {
          keyword = "msgstr[" + std::to_string(form) + "]";
          appendPoString(out, keyword, translation(form));
        }
      } else {
        appendPoString(out, "msgstr", translation(0));
      }
    };
  };
  writeUnits(file, units, {}, makeWriter);
  return true;
}

void writeXliff(const ExchangeHeader& header, UnitSource& units, const TextSink& put) {
  TextOut file(put);
  file +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n"
      "  <file original=\"";
  appendXmlBytes(file, header.project);
  file += "\" datatype=\"plaintext\" source-language=\"";
  appendXmlBytes(file, header.sourceLanguage.empty() ? std::string("und")
                                                     : xmlLanguage(header.sourceLanguage));
  file += "\" target-language=\"";
  appendXmlBytes(file, xmlLanguage(header.language));
  file += "\">\n    <body>\n";
  const auto addUnit = [](TextOut& out, std::string_view indent, std::string_view unitId,
                          std::u16string_view source, std::u16string_view target,
                          const std::string& note) {
    out += indent;
    out += "<trans-unit id=\"";
    appendXmlBytes(out, unitId);
    out += "\" xml:space=\"preserve\">\n";
    const std::string inner = std::string(indent) + "  ";
    appendElement(out, inner, "source", source, Flavour::xliff);
    out += inner;
    if (target.empty()) {
      out += "<target state=\"needs-translation\"/>\n";
    } else {
      out += "<target state=\"translated\">";
      appendXmlText(out, target, Flavour::xliff);
      out += "</target>\n";
    }
    if (!note.empty()) appendElement(out, inner, "note", std::string_view(note), Flavour::xliff);
    out += indent;
    out += "</trans-unit>\n";
  };
  const auto makeWriter = [&addUnit] {
    return [&addUnit, id = std::string()](TextOut& out, const UnitView& unit, std::size_t) mutable {
      id.clear();
      appendUnitId(id, unit.key);
      const auto target = [&unit](std::size_t form) {
        return form < unit.translations.size() ? unit.translations[form] : std::u16string_view();
      };
      if (!unit.plural) {
        addUnit(out, "      ", id, unit.sources.front(), target(0), unitNotes(unit.key));
        return;
      }
      out += "      <group id=\"";
      appendXmlBytes(out, id);
      out += "\" restype=\"x-gettext-plurals\">\n";
      const std::size_t forms = std::max<std::size_t>(unit.translations.size(), 1);
      for (std::size_t form = 0; form < forms; ++form) {
        addUnit(out, "        ", id + "[" + std::to_string(form) + "]",
                unit.sources[std::min(form, unit.sources.size() - 1)], target(form),
                form == 0 ? unitNotes(unit.key) : std::string());
      }
      out += "      </group>\n";
    };
  };
  writeUnits(file, units, {}, makeWriter);
  file += "    </body>\n  </file>\n</xliff>\n";
}

void writeTs(const ExchangeHeader& header, UnitSource& units, const TextSink& put) {
  TextOut file(put);
  file += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\"";
  if (!header.language.empty()) {
    file += " language=\"";
    appendXmlBytes(file, header.language);
    file += '"';
  }
  file += ">\n";
  // Messages grouped by their context, in the order contexts first come:
  // each context's messages counted, then placed in the order they come.
  StringSlots contextOf;
  contextOf.reserve(units.count());
  LargeVector<std::string_view> names;
  LargeVector<std::uint32_t> contexts(units.count());
  LargeVector<std::uint32_t> firsts;
  const auto nameOf = [&names](std::uint32_t context) { return names[context]; };
  for (std::size_t i = 0; i < units.count(); ++i) {
    const std::string_view name = units.key(i).subsection;
    const std::size_t hash = StringSlots::hashOf(name);
    std::optional<std::uint32_t> context = contextOf.find(name, hash, nameOf);
    if (!context) {
      context = static_cast<std::uint32_t>(names.size());
      contextOf.add(hash, *context);
      names.push_back(name);
      firsts.push_back(0);
    }
    contexts[i] = *context;
    ++firsts[*context];
  }
  std::uint32_t placed = 0;
  for (std::uint32_t& first : firsts) {
    const std::uint32_t messages = first;
    first = placed;
    placed += messages;
  }
  LargeVector<std::uint32_t> order(units.count());
  for (std::size_t i = 0; i < units.count(); ++i) {
    order[firsts[contexts[i]]++] = static_cast<std::uint32_t>(i);
  }
  const auto makeWriter = [&order, &contexts] {
    return [&order, &contexts, id = std::string()](TextOut& out, const UnitView& unit,
                                                   std::size_t at) mutable {
      const bool firstOfContext = at == 0 || contexts[order[at - 1]] != contexts[order[at]];
      if (firstOfContext) {
        out += "  <context>\n";
        appendElement(out, "    ", "name", std::string_view(unit.key.subsection), Flavour::ts);
      }
      out += unit.plural ? "    <message numerus=\"yes\">\n" : "    <message>\n";
      appendElement(out, "      ", "source", std::string_view(unit.key.section), Flavour::ts);
      if (!unit.key.comment.empty()) {
        appendElement(out, "      ", "comment", std::string_view(unit.key.comment), Flavour::ts);
      }
      if (!sameText(unit.sources.front(), unit.key.section)) {
        out += "      <extracomment>";
        out += kOriginalNote;  // nothing in it to escape
        appendXmlText(out, unit.sources.front(), Flavour::ts);
        out += "</extracomment>\n";
      }
      const bool untranslated = std::all_of(unit.translations.begin(), unit.translations.end(),
                                            [](std::u16string_view text) { return text.empty(); });
      out += untranslated ? "      <translation type=\"unfinished\"" : "      <translation";
      if (unit.plural) {
        out += ">\n";
        for (const std::u16string_view form : unit.translations) {
          appendElement(out, "        ", "numerusform", form, Flavour::ts);
        }
        out += "      </translation>\n";
      } else if (unit.translations.empty() || unit.translations.front().empty()) {
        out += "/>\n";
      } else {
        out += '>';
        appendXmlText(out, unit.translations.front(), Flavour::ts);
        out += "</translation>\n";
      }
      id.clear();
      appendUnitId(id, unit.key);
      out += "      <extra-sorvane-key>";
      appendXmlBytes(out, id);
      out += "</extra-sorvane-key>\n    </message>\n";
      const bool lastOfContext =
          at + 1 == order.size() || contexts[order[at + 1]] != contexts[order[at]];
      if (lastOfContext) out += "  </context>\n";
    };
  };
  writeUnits(file, units, order, makeWriter);
  file += "</TS>\n";
}

}  // namespace sorvane
