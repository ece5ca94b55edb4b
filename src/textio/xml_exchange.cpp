#include "textio/xml_exchange.h"

#include "checks/translation_checks.h"
#include "platform/file_descriptor.h"
#include "platform/system_error.h"
#include "platform/utf8.h"
#include "textio/exchange_writers.h"
#include "textio/read_units.h"
#include "textio/xml_pull_reader.h"

#include <algorithm>
#include <cstring>

namespace sorvane {

namespace {

// The longest text a unit may hold, as a QM text sensibly does.
constexpr std::size_t kLongestText = std::size_t{1} << 20;

constexpr std::string_view kOriginalNote = "Original text: ";

// A document as the reader takes it: UTF-8 without a byte order mark. One
// in UTF-16 (by its byte order mark or its first "<") is turned into UTF-8
// first, whole; one in UTF-8 from a file is read as it is parsed.
std::string where(XmlPullReader& xml, std::size_t offset) {
  return "line " + std::to_string(xml.lineAt(offset)) + ": ";
}

class XmlDocument {
 public:
  bool open(std::span<const std::uint8_t> bytes, std::string& error);
  bool open(const XmlFile& file, std::string& error);
  XmlPullReader& reader() { return *reader_; }
  // The document's size in bytes, at most.
  std::size_t size() const { return size_; }

 private:
  std::vector<std::uint8_t, UninitializedLargeAllocator<std::uint8_t>> buffer_;
  std::optional<XmlPullReader> reader_;
  std::size_t size_ = 0;
};

bool isUtf16(std::span<const std::uint8_t> start, bool& littleEndian) {
  if (start.size() < 2) return false;
  littleEndian = (start[0] == 0xFF && start[1] == 0xFE) || (start[0] == '<' && start[1] == 0);
  const bool bigEndian =
      (start[0] == 0xFE && start[1] == 0xFF) || (start[0] == 0 && start[1] == '<');
  return littleEndian || bigEndian;
}

bool hasUtf8Mark(std::span<const std::uint8_t> start) {
  return start.size() >= 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
}

bool XmlDocument::open(std::span<const std::uint8_t> bytes, std::string& error) {
  bool littleEndian = false;
  if (isUtf16(bytes, littleEndian)) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
      const std::uint8_t first = bytes[2 * i];
      const std::uint8_t second = bytes[2 * i + 1];
      units[i] =
          static_cast<char16_t>(littleEndian ? (second << 8) | first : (first << 8) | second);
    }
    if (!units.empty() && units.front() == 0xFEFF) units.erase(0, 1);
    const std::string utf8 = toUtf8(units);
    buffer_.assign(utf8.begin(), utf8.end());
    bytes = buffer_;
  }
  if (hasUtf8Mark(bytes)) bytes = bytes.subspan(3);
  size_ = bytes.size();
  reader_.emplace(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (reader_->fault().empty()) return true;
  error = where(*reader_, reader_->faultOffset()) + reader_->fault();
  return false;
}

bool XmlDocument::open(const XmlFile& file, std::string& error) {
  std::uint8_t start[3] = {};
  int failure = 0;
  const std::size_t got = readAt(file.fd, start, sizeof start, 0, &failure);
  bool littleEndian = false;
  if (failure == 0 && isUtf16(std::span(start, got), littleEndian)) {
    buffer_.resize(file.size);
    if (readAt(file.fd, buffer_.data(), buffer_.size(), 0, &failure) == buffer_.size()) {
      decltype(buffer_) whole;
      whole.swap(buffer_);
      return open(whole, error);
    }
  }
  if (failure != 0) {
    error = toUtf8(systemErrorText(failure));
    return false;
  }
  size_ = file.size;
  std::uint64_t offset = hasUtf8Mark(std::span(start, got)) ? 3 : 0;
  const int fd = file.fd;
  reader_.emplace(
      [fd, offset](char* buffer, std::size_t room, int* readError) mutable {
        const std::size_t read = readAt(fd, buffer, room, offset, readError);
        offset += read;
        return read;
      },
      file.pieceBytes);
  if (reader_->fault().empty()) return true;
  error = reader_->readError() != 0 ? toUtf8(systemErrorText(reader_->readError()))
                                    : where(*reader_, reader_->faultOffset()) + reader_->fault();
  return false;
}

// A character that stands for one XML can't hold, as the writers write it:
// <byte value="x01"/> (Qt's tools) or <x ctype="x-sorvane-char-01"/>.
std::optional<char16_t> escapedCharacter(const XmlPullReader& xml) {
  const std::string_view name = xml.name();
  std::string_view code;
  if (name == "byte") {
    code = xml.attribute("value");
    if (!code.empty() && code.front() == 'x') code.remove_prefix(1);
  } else if (name == "x") {
    code = xml.attribute("ctype");
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

// The text of an element as UTF-8, while each piece of it is valid UTF-8
// that stands for the same characters, and as UTF-16 from the first piece
// that isn't (invalid bytes, a surrogate written as a character): what
// most texts are needed as, without decoding them only to encode them
// again.
class GatheredText {
 public:
  void clear() {
    bytes_.clear();
    wide_.clear();
    isWide_ = false;
  }
  bool empty() const { return isWide_ ? wide_.empty() : bytes_.empty(); }
  // Held as bytes only up to the longest text, where the bytes are never
  // fewer than the UTF-16 units they decode to: past it, the size is exact.
  std::size_t size() const { return isWide_ ? wide_.size() : bytes_.size(); }
  void append(std::string_view piece) {
    if (!isWide_ && isValidUtf8(piece) && bytes_.size() + piece.size() <= kLongestText) {
      bytes_ += piece;
      return;
    }
    widen();
    const std::size_t old = wide_.size();
    wide_.resize(old + piece.size());
    wide_.resize(old + decodeUtf8Into(wide_.data() + old, piece));
  }
  void append(char16_t unit) {
    if (!isWide_ && (unit < 0xD800 || unit > 0xDFFF) && bytes_.size() + 3 <= kLongestText) {
      appendUtf8(bytes_, unit);
      return;
    }
    widen();
    wide_.push_back(unit);
  }
  bool startsWith(std::string_view ascii) const {
    if (!isWide_) return bytes_.starts_with(ascii);
    return wide_.size() >= ascii.size() &&
           std::equal(ascii.begin(), ascii.end(), wide_.begin(),
                      [](char a, char16_t b) { return static_cast<char16_t>(a) == b; });
  }
  std::string utf8() const { return isWide_ ? toUtf8(wide_) : bytes_; }
  // The text from the character at skip (of an ASCII prefix) on, as the
  // last unit's next source.
  void addSourceTo(ReadUnits& units, std::size_t skip = 0) const {
    const std::size_t start = units.textStart();
    if (isWide_) {
      units.appendText(std::u16string_view(wide_).substr(skip));
    } else {
      units.appendText(std::string_view(bytes_).substr(skip));
    }
    units.endSource(start);
  }
  void appendIdTo(ReadUnits& units) const {
    if (isWide_) {
      units.appendId(std::u16string_view(wide_));
    } else {
      units.appendId(std::string_view(bytes_));
    }
  }

 private:
  void widen() {
    if (isWide_) return;
    wide_ = fromUtf8(bytes_);
    bytes_.clear();
    isWide_ = true;
  }
  std::string bytes_;
  std::u16string wide_;
  bool isWide_ = false;
};

// Gathers the text of one element as the reader passes through it: its
// character data and that of the elements inside it, and the characters
// the writers wrote as elements. Into a string, or as the next text of
// the last unit.
class TextGatherer {
 public:
  bool active() const { return depth_ != 0; }

  // Of the element whose start tag xml has just read.
  void intoString(GatheredText& text, XmlPullReader& xml) {
    text.clear();
    string_ = &text;
    begin(xml);
  }
  void intoUnit(ReadUnits& units, bool translation, XmlPullReader& xml) {
    string_ = nullptr;
    units_ = &units;
    translation_ = translation;
    start_ = units.textStart();
    begin(xml);
  }

  // Takes a token inside the element, its end included.
  void take(XmlPullReader::Token token, XmlPullReader& xml) {
    using Token = XmlPullReader::Token;
    if (token == Token::end) {
      if (xml.depth() == skipping_) skipping_ = 0;
      if (xml.depth() == depth_) finish();
      return;
    }
    if (skipping_ != 0) return;
    if (token == Token::start) {
      if (const std::optional<char16_t> character = escapedCharacter(xml)) {
        append(*character);
        skipping_ = xml.depth();
      }
    } else if (token == Token::text) {
      append(xml.text());
    }
    if (size() > kLongestText && tooLong_.empty()) {
      tooLong_ =
          where(xml, offset_) + "a text longer than 1 MB, more than a QM file's text may hold";
    }
  }

  // The first text that was too long; empty when none was.
  const std::string& tooLong() const { return tooLong_; }

 private:
  void begin(XmlPullReader& xml) {
    depth_ = xml.depth();
    skipping_ = 0;
    offset_ = xml.offset();
    // The line, should the text be too long, once the window has moved on.
    xml.markLine();
  }
  std::size_t size() const {
    return string_ != nullptr ? string_->size() : units_->textLength(start_);
  }
  template <typename Text>
  void append(Text piece) {
    if (!tooLong_.empty()) return;
    if (string_ != nullptr) {
      string_->append(piece);
    } else {
      units_->appendText(piece);
    }
  }
  void finish() {
    if (string_ == nullptr) {
      if (translation_) {
        units_->endTranslation(start_);
      } else {
        units_->endSource(start_);
      }
    }
    depth_ = 0;
  }

  std::size_t depth_ = 0;
  std::size_t skipping_ = 0;
  std::size_t offset_ = 0;
  GatheredText* string_ = nullptr;
  ReadUnits* units_ = nullptr;
  bool translation_ = false;
  std::size_t start_ = 0;
  std::string tooLong_;
};

// The error of a document that is not well formed, or of a text too long.
bool failed(XmlPullReader& xml, const TextGatherer& gatherer, bool wellFormed, std::string& error) {
  if (!wellFormed) {
    error = xml.readError() != 0 ? toUtf8(systemErrorText(xml.readError()))
                                 : where(xml, xml.faultOffset()) + xml.fault();
    return true;
  }
  if (!gatherer.tooLong().empty()) {
    error = gatherer.tooLong();
    return true;
  }
  return false;
}

}  // namespace

std::vector<std::uint8_t> xliffFileBytes(const ExchangeHeader& header,
                                         std::span<const TranslationUnit> units) {
  HeldUnits source(units);
  std::string out;
  writeXliff(header, source, [&out](std::string_view piece) { out += piece; });
  return {out.begin(), out.end()};
}

std::vector<std::uint8_t> tsFileBytes(const ExchangeHeader& header,
                                      std::span<const TranslationUnit> units) {
  HeldUnits source(units);
  std::string out;
  writeTs(header, source, [&out](std::string_view piece) { out += piece; });
  return {out.begin(), out.end()};
}

namespace {

std::optional<ReadUnits> readXliffDocument(XmlDocument& document, std::string& error) {
  XmlPullReader& xml = document.reader();
  ReadUnits units;
  units.reserveForBytes(document.size());
  TextGatherer gatherer;
  using Token = XmlPullReader::Token;
  bool inRoot = false;
  bool rootSeen = false;
  std::size_t groupDepth = 0;  // of the plural group being read, or 0
  std::size_t formDepth = 0;   // of the trans-unit being read, or 0
  bool hadSource = false;
  bool hadTarget = false;
  const auto beginUnit = [&] {
    units.startUnit(xml.lineAt(xml.offset()));
    units.appendId(xml.attribute("id"));
    units.setKeyed(xml.hasAttribute("id"));
  };
  const auto beginForm = [&] {
    formDepth = xml.depth();
    hadSource = hadTarget = false;
    if (xml.attribute("approved") == "no") units.setFuzzy(true);
  };
  Token token = Token::done;
  bool wellFormed = true;
  while ((wellFormed = xml.next(token)) && token != Token::done) {
    if (gatherer.active()) {
      gatherer.take(token, xml);
      continue;
    }
    const std::size_t depth = xml.depth();
    if (token == Token::start) {
      const std::string_view name = xml.name();
      if (depth == 1) {
        inRoot = name == "xliff";
        rootSeen = rootSeen || inRoot;
        continue;
      }
      if (!inRoot) continue;
      if (formDepth != 0) {
        // One form: the first source and the first target in it.
        if (depth != formDepth + 1) continue;
        if (name == "source" && !hadSource) {
          hadSource = true;
          gatherer.intoUnit(units, false, xml);
        } else if (name == "target" && !hadTarget) {
          hadTarget = true;
          const std::string_view state = xml.attribute("state");
          if (state == "needs-review-translation" || state == "needs-adaptation" ||
              state == "needs-l10n" || state == "needs-review-adaptation" ||
              state == "needs-review-l10n") {
            units.setFuzzy(true);
          }
          gatherer.intoUnit(units, true, xml);
        }
      } else if (groupDepth != 0) {
        if (depth == groupDepth + 1 && name == "trans-unit") beginForm();
      } else if (name == "group" && xml.attribute("restype") == "x-gettext-plurals") {
        groupDepth = depth;
        beginUnit();
      } else if (name == "trans-unit") {
        beginUnit();
        beginForm();
      }
      continue;
    }
    if (token != Token::end) continue;
    if (depth == formDepth) {
      // A form without a source or target has them empty.
      if (!hadSource) units.addSource({});
      if (!hadTarget) units.addTranslation({});
      formDepth = 0;
    } else if (depth == groupDepth) {
      groupDepth = 0;
    }
    if (depth == 1) inRoot = false;
  }
  if (failed(xml, gatherer, wellFormed, error)) return std::nullopt;
  if (!rootSeen) {
    error = "line 1: not an XLIFF file (no xliff element)";
    return std::nullopt;
  }
  return units;
}

std::optional<ReadUnits> readTsDocument(XmlDocument& document, std::string& error) {
  XmlPullReader& xml = document.reader();
  ReadUnits units;
  units.reserveForBytes(document.size());
  TextGatherer gatherer;
  using Token = XmlPullReader::Token;
  bool inRoot = false;
  bool rootSeen = false;
  bool inContext = false;
  bool nameSeen = false;
  GatheredText name;
  std::string nameBytes;
  // Messages without a key before their context's name: keyed at its end.
  struct Unkeyed {
    std::size_t unit;
    std::string source;
    std::string comment;
  };
  std::vector<Unkeyed> unkeyed;
  bool inMessage = false;
  bool numerus = false;
  std::size_t translationDepth = 0;
  bool hadSource = false, hadComment = false, hadKey = false, hadNote = false;
  bool hadTranslation = false;
  GatheredText source, comment, key, note;
  const auto keyOf = [&](std::string_view sourceBytes, std::string_view commentBytes) {
    return unitId(UnitKeyView{qtMessageHash(sourceBytes, commentBytes), sourceBytes, nameBytes,
                              commentBytes});
  };
  Token token = Token::done;
  bool wellFormed = true;
  while ((wellFormed = xml.next(token)) && token != Token::done) {
    if (gatherer.active()) {
      gatherer.take(token, xml);
      if (!gatherer.active() && token == Token::end && xml.name() == "name" && xml.depth() == 3) {
        nameBytes = name.utf8();
      }
      continue;
    }
    const std::size_t depth = xml.depth();
    if (token == Token::start) {
      const std::string_view element = xml.name();
      if (depth == 1) {
        inRoot = element == "TS";
        rootSeen = rootSeen || inRoot;
        continue;
      }
      if (!inRoot) continue;
      if (depth == 2) {
        inContext = element == "context";
        nameSeen = false;
        name.clear();
        nameBytes.clear();
        unkeyed.clear();
        continue;
      }
      if (!inContext) continue;
      if (depth == 3) {
        if (element == "name" && !nameSeen) {
          nameSeen = true;
          gatherer.intoString(name, xml);
        } else if (element == "message") {
          inMessage = true;
          units.startUnit(xml.lineAt(xml.offset()));
          numerus = xml.attribute("numerus") == "yes";
          hadSource = hadComment = hadKey = hadNote = hadTranslation = false;
          source.clear();
          comment.clear();
          key.clear();
          note.clear();
          translationDepth = 0;
        }
        continue;
      }
      if (!inMessage) continue;
      if (depth == 4) {
        const auto once = [&](bool& had, GatheredText& into) {
          if (had) return;
          had = true;
          gatherer.intoString(into, xml);
        };
        if (element == "source") {
          once(hadSource, source);
        } else if (element == "comment") {
          once(hadComment, comment);
        } else if (element == "extra-sorvane-key") {
          once(hadKey, key);
        } else if (element == "extracomment") {
          once(hadNote, note);
        } else if (element == "translation" && !hadTranslation) {
          hadTranslation = true;
          const std::string_view type = xml.attribute("type");
          units.setFuzzy(type == "obsolete" || type == "vanished");
          if (numerus) {
            translationDepth = depth;
          } else {
            gatherer.intoUnit(units, true, xml);
          }
        }
      } else if (depth == translationDepth + 1 && translationDepth != 0 &&
                 element == "numerusform") {
        gatherer.intoUnit(units, true, xml);
      }
      continue;
    }
    if (token != Token::end) continue;
    if (depth == 4 && translationDepth == 4) translationDepth = 0;
    if (depth == 3 && inMessage) {
      inMessage = false;
      if (!numerus && !hadTranslation) units.addTranslation({});
      if (!key.empty()) {
        key.appendIdTo(units);
      } else if (nameSeen) {
        // A message without the key (a tool added it) is keyed as Qt finds it.
        units.appendId(keyOf(source.utf8(), comment.utf8()));
      } else {
        unkeyed.push_back({units.size() - 1, source.utf8(), comment.utf8()});
      }
      if (note.startsWith(kOriginalNote)) {
        note.addSourceTo(units, kOriginalNote.size());
      } else {
        source.addSourceTo(units);
      }
    } else if (depth == 2 && inContext) {
      inContext = false;
      for (const Unkeyed& message : unkeyed) {
        units.setId(message.unit, keyOf(message.source, message.comment));
      }
    } else if (depth == 1) {
      inRoot = false;
    }
  }
  if (failed(xml, gatherer, wellFormed, error)) return std::nullopt;
  if (!rootSeen) {
    error = "line 1: not a TS file (no TS element)";
    return std::nullopt;
  }
  return units;
}

template <typename Input>
std::optional<ReadUnits> readOpened(const Input& input, std::string& error,
                                    std::optional<ReadUnits> (*read)(XmlDocument&, std::string&)) {
  XmlDocument document;
  if (!document.open(input, error)) return std::nullopt;
  return read(document, error);
}

}  // namespace

std::optional<ReadUnits> readXliff(std::span<const std::uint8_t> bytes, std::string& error) {
  return readOpened(bytes, error, readXliffDocument);
}

std::optional<ReadUnits> readXliff(const XmlFile& file, std::string& error) {
  return readOpened(file, error, readXliffDocument);
}

std::optional<ReadUnits> readTs(std::span<const std::uint8_t> bytes, std::string& error) {
  return readOpened(bytes, error, readTsDocument);
}

std::optional<ReadUnits> readTs(const XmlFile& file, std::string& error) {
  return readOpened(file, error, readTsDocument);
}

}  // namespace sorvane
