#include "textio/xml_exchange.h"

#include "checks/translation_checks.h"
#include "platform/file_descriptor.h"
#include "platform/system_error.h"
#include "platform/utf8.h"
#include "textio/exchange_writers.h"
#include "textio/read_units.h"
#include "textio/xml_pull_reader.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

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

  // Where what is left of the document from offset from may be cut in two,
  // to read its parts side by side: at the first place cutIn finds in a
  // piece from about the middle on. Only a large file in UTF-8 is cut.
  struct Cut {
    std::size_t offset = 0;  // in the document
    std::uint64_t fileOffset = 0;
  };
  std::optional<Cut> cut(std::size_t from,
                         std::size_t (*cutIn)(std::string_view piece, std::size_t from)) const;
  // The file read a piece at a time, or null.
  const XmlFile* file() const { return file_; }

 private:
  const XmlFile* file_ = nullptr;
  std::uint64_t markBytes_ = 0;  // of the file's byte order mark
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
  file_ = &file;
  markBytes_ = offset;
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

std::optional<XmlDocument::Cut> XmlDocument::cut(std::size_t from,
                                                 std::size_t (*cutIn)(std::string_view piece,
                                                                      std::size_t from)) const {
  if (file_ == nullptr || file_->size <= markBytes_ + from ||
      file_->size - markBytes_ - from < std::max<std::size_t>(file_->splitBytes, 2)) {
    return std::nullopt;
  }
  // The piece starts a little before the middle, so that what is open at
  // a place found in it can be told from what comes before.
  constexpr std::size_t kPieceBytes = std::size_t{1} << 18;
  constexpr std::size_t kBefore = std::size_t{1} << 16;
  const std::size_t length = file_->size - markBytes_;
  const std::size_t middle = from + (length - from) / 2;
  const std::size_t start = middle - std::min(middle - from, kBefore);
  std::string piece(std::min(kPieceBytes, length - start), '\0');
  int failure = 0;
  piece.resize(readAt(file_->fd, piece.data(), piece.size(), markBytes_ + start, &failure));
  const std::size_t at = cutIn(piece, middle - start);
  if (at == std::string::npos || start + at <= from) return std::nullopt;
  return Cut{start + at, markBytes_ + start + at};
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

using Token = XmlPullReader::Token;

// The XLIFF reading, a token at a time.
class XliffReading {
 public:
  // A part read on its own begins with a unit in the body of a file.
  static constexpr std::string_view kOpenAtCut[] = {"xliff", "file", "body"};
  static constexpr std::string_view kNotThisFormat = "line 1: not an XLIFF file (no xliff element)";

  XliffReading(XmlPullReader& xml, ReadUnits& units) : xml_(xml), units_(units) {}

  void take(Token token);
  const TextGatherer& gatherer() const { return gatherer_; }
  bool rootSeen() const { return rootSeen_; }

  // Where a part read on its own may begin in a piece of the document: at
  // the first unit outside a plural group, or npos.
  static std::size_t cutIn(std::string_view piece, std::size_t from);
  // Whether the rest of the document, from the next token on, reads the
  // same in a part of its own.
  bool canHandOver() const {
    return inRoot_ && groupDepth_ == 0 && formDepth_ == 0 && !gatherer_.active() &&
           gatherer_.tooLong().empty();
  }
  void startAsPart() { inRoot_ = rootSeen_ = true; }
  void finishPart(XliffReading& /*rest*/) const {}

 private:
  void beginUnit() {
    units_.startUnit(xml_.lineAt(xml_.offset()));
    units_.appendId(xml_.attribute("id"));
    units_.setKeyed(xml_.hasAttribute("id"));
  }
  void beginForm() {
    formDepth_ = xml_.depth();
    hadSource_ = hadTarget_ = false;
    if (xml_.attribute("approved") == "no") units_.setFuzzy(true);
  }

  XmlPullReader& xml_;
  ReadUnits& units_;
  TextGatherer gatherer_;
  bool inRoot_ = false;
  bool rootSeen_ = false;
  std::size_t groupDepth_ = 0;  // of the plural group being read, or 0
  std::size_t formDepth_ = 0;   // of the trans-unit being read, or 0
  bool hadSource_ = false;
  bool hadTarget_ = false;
};

void XliffReading::take(Token token) {
  if (gatherer_.active()) {
    gatherer_.take(token, xml_);
    return;
  }
  const std::size_t depth = xml_.depth();
  if (token == Token::start) {
    const std::string_view name = xml_.name();
    if (depth == 1) {
      inRoot_ = name == "xliff";
      rootSeen_ = rootSeen_ || inRoot_;
      return;
    }
    if (!inRoot_) return;
    if (formDepth_ != 0) {
      // One form: the first source and the first target in it.
      if (depth != formDepth_ + 1) return;
      if (name == "source" && !hadSource_) {
        hadSource_ = true;
        gatherer_.intoUnit(units_, false, xml_);
      } else if (name == "target" && !hadTarget_) {
        hadTarget_ = true;
        const std::string_view state = xml_.attribute("state");
        if (state == "needs-review-translation" || state == "needs-adaptation" ||
            state == "needs-l10n" || state == "needs-review-adaptation" ||
            state == "needs-review-l10n") {
          units_.setFuzzy(true);
        }
        gatherer_.intoUnit(units_, true, xml_);
      }
    } else if (groupDepth_ != 0) {
      if (depth == groupDepth_ + 1 && name == "trans-unit") beginForm();
    } else if (name == "group" && xml_.attribute("restype") == "x-gettext-plurals") {
      groupDepth_ = depth;
      beginUnit();
    } else if (name == "trans-unit") {
      beginUnit();
      beginForm();
    }
    return;
  }
  if (token != Token::end) return;
  if (depth == formDepth_) {
    // A form without a source or target has them empty.
    if (!hadSource_) units_.addSource({});
    if (!hadTarget_) units_.addTranslation({});
    formDepth_ = 0;
  } else if (depth == groupDepth_) {
    groupDepth_ = 0;
  }
  if (depth == 1) inRoot_ = false;
}

// Where a tag of this name starts in piece from from on, or npos.
std::size_t tagIn(std::string_view piece, std::string_view opening, std::size_t from) {
  for (std::size_t at = piece.find(opening, from); at != std::string_view::npos;
       at = piece.find(opening, at + 1)) {
    const std::size_t after = at + opening.size();
    if (after < piece.size() &&
        std::string_view(" \t\r\n>/").find(piece[after]) != std::string_view::npos) {
      return at;
    }
  }
  return std::string_view::npos;
}

std::size_t XliffReading::cutIn(std::string_view piece, std::size_t from) {
  while (from < piece.size()) {
    const std::size_t unit = tagIn(piece, "<trans-unit", from);
    const std::size_t group = tagIn(piece, "<group", from);
    const std::size_t at = std::min(unit, group);
    if (at == std::string_view::npos || at == group) return at;
    // A form of a plural group, when a group opened before it is not closed.
    const std::size_t opened = piece.rfind("<group", at);
    const std::size_t closed = piece.rfind("</group>", at);
    if (opened == std::string_view::npos || (closed != std::string_view::npos && closed > opened)) {
      return at;
    }
    const std::size_t end = piece.find("</group>", at);
    if (end == std::string_view::npos) return end;
    from = end;
  }
  return std::string_view::npos;
}

// The TS reading, a token at a time.
class TsReading {
 public:
  // A part read on its own begins with a message of a context whose name
  // came before it.
  static constexpr std::string_view kOpenAtCut[] = {"TS", "context"};
  static constexpr std::string_view kNotThisFormat = "line 1: not a TS file (no TS element)";

  TsReading(XmlPullReader& xml, ReadUnits& units) : xml_(xml), units_(units) {}

  void take(Token token);
  const TextGatherer& gatherer() const { return gatherer_; }
  bool rootSeen() const { return rootSeen_; }

  static std::size_t cutIn(std::string_view piece, std::size_t from) {
    return tagIn(piece, "<message", from);
  }
  bool canHandOver() const {
    return inContext_ && nameSeen_ && unkeyed_.empty() && !inMessage_ && !gatherer_.active() &&
           gatherer_.tooLong().empty();
  }
  // The part starts in a context whose name it doesn't know: the messages
  // without a key there are keyed when the part is finished.
  void startAsPart() { inRoot_ = rootSeen_ = inContext_ = nameSeen_ = nameInherited_ = true; }
  void finishPart(TsReading& rest) const {
    for (const Unkeyed& message : rest.inherited_) {
      rest.units_.setId(message.unit, keyOf(nameBytes_, message.source, message.comment));
    }
  }

 private:
  // Messages without a key before their context's name: keyed at its end.
  struct Unkeyed {
    std::size_t unit;
    std::string source;
    std::string comment;
  };
  static std::string keyOf(std::string_view name, std::string_view source,
                           std::string_view comment) {
    return unitId(UnitKeyView{qtMessageHash(source, comment), source, name, comment});
  }
  void startMessage();
  void endMessage();

  XmlPullReader& xml_;
  ReadUnits& units_;
  TextGatherer gatherer_;
  bool inRoot_ = false;
  bool rootSeen_ = false;
  bool inContext_ = false;
  bool nameSeen_ = false;
  // In a part's first context: its name is the one before the part.
  bool nameInherited_ = false;
  GatheredText name_;
  std::string nameBytes_;
  std::vector<Unkeyed> unkeyed_;
  // Those without a key in a part's first context.
  std::vector<Unkeyed> inherited_;
  bool inMessage_ = false;
  bool numerus_ = false;
  std::size_t translationDepth_ = 0;
  bool hadSource_ = false, hadComment_ = false, hadKey_ = false, hadNote_ = false;
  bool hadTranslation_ = false;
  GatheredText source_, comment_, key_, note_;
};

void TsReading::startMessage() {
  inMessage_ = true;
  units_.startUnit(xml_.lineAt(xml_.offset()));
  numerus_ = xml_.attribute("numerus") == "yes";
  hadSource_ = hadComment_ = hadKey_ = hadNote_ = hadTranslation_ = false;
  source_.clear();
  comment_.clear();
  key_.clear();
  note_.clear();
  translationDepth_ = 0;
}

void TsReading::endMessage() {
  inMessage_ = false;
  if (!numerus_ && !hadTranslation_) units_.addTranslation({});
  if (!key_.empty()) {
    key_.appendIdTo(units_);
  } else if (nameInherited_) {
    inherited_.push_back({units_.size() - 1, source_.utf8(), comment_.utf8()});
  } else if (nameSeen_) {
    // A message without the key (a tool added it) is keyed as Qt finds it.
    units_.appendId(keyOf(nameBytes_, source_.utf8(), comment_.utf8()));
  } else {
    unkeyed_.push_back({units_.size() - 1, source_.utf8(), comment_.utf8()});
  }
  if (note_.startsWith(kOriginalNote)) {
    note_.addSourceTo(units_, kOriginalNote.size());
  } else {
    source_.addSourceTo(units_);
  }
}

void TsReading::take(Token token) {
  if (gatherer_.active()) {
    gatherer_.take(token, xml_);
    if (!gatherer_.active() && token == Token::end && xml_.name() == "name" && xml_.depth() == 3) {
      nameBytes_ = name_.utf8();
    }
    return;
  }
  const std::size_t depth = xml_.depth();
  if (token == Token::start) {
    const std::string_view element = xml_.name();
    if (depth == 1) {
      inRoot_ = element == "TS";
      rootSeen_ = rootSeen_ || inRoot_;
      return;
    }
    if (!inRoot_) return;
    if (depth == 2) {
      inContext_ = element == "context";
      nameSeen_ = nameInherited_ = false;
      name_.clear();
      nameBytes_.clear();
      unkeyed_.clear();
      return;
    }
    if (!inContext_) return;
    if (depth == 3) {
      if (element == "name" && !nameSeen_) {
        nameSeen_ = true;
        gatherer_.intoString(name_, xml_);
      } else if (element == "message") {
        startMessage();
      }
      return;
    }
    if (!inMessage_) return;
    if (depth == 4) {
      const auto once = [&](bool& had, GatheredText& into) {
        if (had) return;
        had = true;
        gatherer_.intoString(into, xml_);
      };
      if (element == "source") {
        once(hadSource_, source_);
      } else if (element == "comment") {
        once(hadComment_, comment_);
      } else if (element == "extra-sorvane-key") {
        once(hadKey_, key_);
      } else if (element == "extracomment") {
        once(hadNote_, note_);
      } else if (element == "translation" && !hadTranslation_) {
        hadTranslation_ = true;
        const std::string_view type = xml_.attribute("type");
        units_.setFuzzy(type == "obsolete" || type == "vanished");
        if (numerus_) {
          translationDepth_ = depth;
        } else {
          gatherer_.intoUnit(units_, true, xml_);
        }
      }
    } else if (depth == translationDepth_ + 1 && translationDepth_ != 0 &&
               element == "numerusform") {
      gatherer_.intoUnit(units_, true, xml_);
    }
    return;
  }
  if (token != Token::end) return;
  if (depth == 4 && translationDepth_ == 4) translationDepth_ = 0;
  if (depth == 3 && inMessage_) {
    endMessage();
  } else if (depth == 2 && inContext_) {
    inContext_ = false;
    for (const Unkeyed& message : unkeyed_) {
      units_.setId(message.unit, keyOf(nameBytes_, message.source, message.comment));
    }
  } else if (depth == 1) {
    inRoot_ = false;
  }
}

// The second part of a document, read on a thread of its own from a cut
// while the first is read up to it.
template <typename Reading>
class LaterPart {
 public:
  LaterPart(const XmlFile& file, std::uint64_t fileOffset, std::size_t offset)
      : file_(file), fileOffset_(fileOffset), offset_(offset) {}
  LaterPart(const LaterPart&) = delete;
  LaterPart& operator=(const LaterPart&) = delete;
  ~LaterPart() {
    cancelled_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
  }

  // False when no thread could be had.
  bool start() {
    try {
      thread_ = std::thread([this] { run(); });
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
  // The document offset the part starts at.
  std::size_t offset() const { return offset_; }
  // Waits for the part; whether it was read to the document's end without
  // a fault.
  bool succeeded() {
    thread_.join();
    return succeeded_;
  }
  Reading& reading() { return *reading_; }
  ReadUnits& units() { return units_; }

 private:
  void run() {
    try {
      const int fd = file_.fd;
      std::uint64_t at = fileOffset_;
      xml_.emplace(
          [fd, at](char* buffer, std::size_t room, int* readError) mutable {
            const std::size_t read = readAt(fd, buffer, room, at, readError);
            at += read;
            return read;
          },
          file_.pieceBytes);
      xml_->startInside(Reading::kOpenAtCut);
      units_.reserveForBytes(file_.size - fileOffset_);
      reading_.emplace(*xml_, units_);
      reading_->startAsPart();
      Token token = Token::done;
      while (!cancelled_.load(std::memory_order_relaxed) && xml_->next(token)) {
        if (token == Token::done) {
          succeeded_ = reading_->gatherer().tooLong().empty();
          return;
        }
        reading_->take(token);
      }
    } catch (const std::bad_alloc&) {
      // Read in one pass, which fails as it must.
    }
  }

  XmlFile file_;
  std::uint64_t fileOffset_;
  std::size_t offset_;
  std::thread thread_;
  std::atomic<bool> cancelled_{false};
  bool succeeded_ = false;
  std::optional<XmlPullReader> xml_;
  ReadUnits units_;
  std::optional<Reading> reading_;
};

template <typename Reading>
std::optional<ReadUnits> readDocument(XmlDocument& document, std::string& error) {
  XmlPullReader& xml = document.reader();
  ReadUnits units;
  units.reserveForBytes(document.size());
  Reading reading(xml, units);
  std::optional<LaterPart<Reading>> later;
  const XmlFile* file = document.file();
  bool mayCut = file != nullptr;
  if (file != nullptr && file->readInParts != nullptr) *file->readInParts = false;
  Token token = Token::done;
  bool wellFormed = true;
  for (;;) {
    if (mayCut &&
        (file->splitWhenSet == nullptr || file->splitWhenSet->load(std::memory_order_relaxed))) {
      mayCut = false;
      if (const std::optional<XmlDocument::Cut> cut =
              document.cut(xml.nextOffset(), Reading::cutIn)) {
        later.emplace(*file, cut->fileOffset, cut->offset);
        if (!later->start()) later.reset();
      }
    }
    if (later && xml.nextOffset() >= later->offset()) {
      // Handed over only where one pass would read on exactly as the later
      // part did; anywhere else (a cut inside a comment, a unit or an
      // element of another kind), one pass reads on.
      if (xml.nextOffset() == later->offset() && xml.hasOpenExactly(Reading::kOpenAtCut) &&
          reading.canHandOver() && later->succeeded()) {
        reading.finishPart(later->reading());
        units.append(std::move(later->units()), xml.lineAt(later->offset()) - 1);
        if (file->readInParts != nullptr) *file->readInParts = true;
        return units;
      }
      later.reset();
    }
    if (!(wellFormed = xml.next(token)) || token == Token::done) break;
    reading.take(token);
  }
  if (failed(xml, reading.gatherer(), wellFormed, error)) return std::nullopt;
  if (!reading.rootSeen()) {
    error = Reading::kNotThisFormat;
    return std::nullopt;
  }
  return units;
}

template <typename Reading, typename Input>
std::optional<ReadUnits> readOpened(const Input& input, std::string& error) {
  XmlDocument document;
  if (!document.open(input, error)) return std::nullopt;
  return readDocument<Reading>(document, error);
}

}  // namespace

std::optional<ReadUnits> readXliff(std::span<const std::uint8_t> bytes, std::string& error) {
  return readOpened<XliffReading>(bytes, error);
}

std::optional<ReadUnits> readXliff(const XmlFile& file, std::string& error) {
  return readOpened<XliffReading>(file, error);
}

std::optional<ReadUnits> readTs(std::span<const std::uint8_t> bytes, std::string& error) {
  return readOpened<TsReading>(bytes, error);
}

std::optional<ReadUnits> readTs(const XmlFile& file, std::string& error) {
  return readOpened<TsReading>(file, error);
}

}  // namespace sorvane
