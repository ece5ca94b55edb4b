#include "textio/xml_pull_reader.h"

#include "platform/utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// What each byte may be in a name: a name's first byte, or any other.
enum : std::uint8_t { kNameStart = 1, kNameChar = 2 };

constexpr std::array<std::uint8_t, 256> kNameBytes = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const bool start =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
    const bool other = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
    table[static_cast<std::size_t>(c)] =
        static_cast<std::uint8_t>((start ? kNameStart : 0) | (other ? kNameChar : 0));
  }
  return table;
}();

bool isNameStart(char c) { return (kNameBytes[static_cast<unsigned char>(c)] & kNameStart) != 0; }
bool isNameChar(char c) { return (kNameBytes[static_cast<unsigned char>(c)] & kNameChar) != 0; }

// Names are short: a loop compares them quicker than a call would.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Whether the window holds literal at at: names the reader compares many
// times a document, so compared without a call.
bool holdsAt(std::string_view window, std::size_t at, std::string_view literal) {
  return window.size() - at >= literal.size() &&
         std::equal(literal.begin(), literal.end(),
                    window.begin() + static_cast<std::ptrdiff_t>(at));
}

// The reference at raw[at] ("&...;") decoded into out; its length, or 0
// when it is none the reader knows (it then stays as it is).
std::size_t decodeReference(std::string_view raw, std::size_t at, std::string& out) {
  const std::size_t semicolon = raw.find(';', at);
  if (semicolon == std::string_view::npos || semicolon - at > 12) return 0;
  const std::string_view name = raw.substr(at + 1, semicolon - at - 1);
  const std::size_t length = semicolon - at + 1;
  if (name == "lt") {
    out.push_back('<');
  } else if (name == "gt") {
    out.push_back('>');
  } else if (name == "amp") {
    out.push_back('&');
  } else if (name == "apos") {
    out.push_back('\'');
  } else if (name == "quot") {
    out.push_back('"');
  } else if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t code = 0;
    for (const char digit : digits) {
      int value = -1;
      if (digit >= '0' && digit <= '9') value = digit - '0';
      if (hex && digit >= 'a' && digit <= 'f') value = digit - 'a' + 10;
      if (hex && digit >= 'A' && digit <= 'F') value = digit - 'A' + 10;
      if (value < 0) return 0;
      code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
    }
    if (code > 0x10FFFF) return 0;
    // A surrogate is written as it is, and a reader of the text takes it
    // as invalid.
    appendUtf8(out, code);
  } else {
    return 0;
  }
  return length;
}

// The line feeds of a text, eight bytes at a time: a byte at a time, the
// count over a large document's messages costs more than reading them.
std::size_t countLineFeeds(std::string_view text) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  constexpr std::uint64_t kFeeds = 0x0A0A0A0A0A0A0A0AULL;
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  std::size_t count = 0;
  std::size_t at = 0;
#if defined(__SSE2__)
  // Sixteen bytes at once: each lane counts its line feeds up to 255 times,
  // then the lanes are summed.
  constexpr std::size_t kLanes = 16;
  constexpr std::size_t kMostRounds = 255;
  const __m128i feeds = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  while (at + kLanes <= text.size()) {
    const std::size_t rounds = std::min((text.size() - at) / kLanes, kMostRounds);
    __m128i counts = zero;
    for (std::size_t round = 0; round < rounds; ++round, at += kLanes) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, feeds));
    }
    const __m128i sums = _mm_sad_epu8(counts, zero);
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, 8);
    // The high bit of each byte that is a line feed: a byte is zero after
    // the XOR exactly where it was one.
    const std::uint64_t x = word ^ kFeeds;
    const std::uint64_t marks = ~(((x & kLow7) + kLow7) | x | kLow7) >> 7;
    // The marks summed by a multiply: std::popcount is a library call on
    // processors the build doesn't assume have the instruction.
    count += static_cast<std::size_t>((marks * kOnes) >> 56);
  }
  for (; at < text.size(); ++at) count += text[at] == '\n' ? 1 : 0;
  return count;
}

// Where the first '<', '&' or CR is from at on, or npos: where character
// data ends, or needs more than a view. Sixteen bytes are looked at once,
// as the data between elements is short and memchr begins each call anew.
std::size_t firstMarkupOrReturn(std::string_view text, std::size_t at) {
#if defined(__SSE2__)
  constexpr std::size_t kLanes = 16;
  const __m128i opens = _mm_set1_epi8('<');
  const __m128i references = _mm_set1_epi8('&');
  const __m128i returns = _mm_set1_epi8('\r');
  for (; at + kLanes <= text.size(); at += kLanes) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    const __m128i found =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, opens), _mm_cmpeq_epi8(bytes, references)),
                     _mm_cmpeq_epi8(bytes, returns));
    if (const int marks = _mm_movemask_epi8(found); marks != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(marks)));
    }
  }
#endif
  for (; at < text.size(); ++at) {
    if (text[at] == '<' || text[at] == '&' || text[at] == '\r') return at;
  }
  return std::string_view::npos;
}

}  // namespace

XmlPullReader::XmlPullReader(std::string_view document) : document_(document) {
  broken_ = !scanForNul();
}

XmlPullReader::XmlPullReader(Source source, std::size_t windowBytes)
    : atEnd_(false), source_(std::move(source)), window_(std::max<std::size_t>(windowBytes, 1)) {
  document_ = std::string_view(window_.data(), std::size_t{0});
  broken_ = !refill();
}

bool XmlPullReader::scanForNul() {
  // &#0; &#x0; &#00; ...: a reference to the one character no text holds,
  // refused wherever it stands, as it would cut a text short.
  const std::size_t size = document_.size();
  for (std::size_t i = document_.find("&#", scannedTo_); i != std::string_view::npos;
       i = document_.find("&#", i + 1)) {
    std::size_t digit = i + 2;
    if (digit < size && (document_[digit] == 'x' || document_[digit] == 'X')) ++digit;
    const std::size_t first = digit;
    while (digit < size && document_[digit] == '0') ++digit;
    if (digit >= size && !atEnd_) {
      // What follows decides: scanned again with the window's next bytes.
      scannedTo_ = i;
      return true;
    }
    if (digit > first && digit < size && document_[digit] == ';') {
      return fail(i, "a character reference to U+0000, which XML doesn't allow");
    }
  }
  // A last "&" may begin a reference the next bytes complete.
  scannedTo_ = atEnd_ || size == 0 ? size : size - 1;
  return true;
}

bool XmlPullReader::refill() {
  // What the window keeps: the token being read, bytes not yet checked, and
  // the byte before them, which a line count needs to tell a CR LF.
  const std::size_t keep =
      std::min({at_, scannedTo_, document_.empty() ? std::size_t{0} : document_.size() - 1});
  if (base_ + keep > countedTo_) countLinesTo(base_ + keep);
  const std::size_t kept = document_.size() - keep;
  if (keep > 0) std::memmove(window_.data(), window_.data() + keep, kept);
  base_ += keep;
  at_ -= keep;
  scannedTo_ -= keep;
  if (kept == window_.size()) window_.resize(window_.size() * 2);
  std::size_t filled = kept;
  int error = 0;
  while (filled < window_.size()) {
    const std::size_t got = source_(window_.data() + filled, window_.size() - filled, &error);
    if (got == 0) {
      atEnd_ = true;
      break;
    }
    filled += got;
  }
  document_ = std::string_view(window_.data(), filled);
  if (error != 0) {
    readError_ = error;
    return fail(document_.size(), "the document could not be read");
  }
  return scanForNul();
}

void XmlPullReader::countLinesTo(std::size_t offset) {
  // A line ends at LF, at CR LF and at a CR alone.
  const auto countTo = [this](std::size_t end) {
    const std::string_view part = document_.substr(countedTo_ - base_, end - countedTo_);
    line_ += static_cast<std::int32_t>(countLineFeeds(part));
    for (std::size_t at = part.find('\r'); at != std::string_view::npos;
         at = part.find('\r', at + 1)) {
      const std::size_t i = countedTo_ - base_ + at;
      if (i + 1 >= document_.size() || document_[i + 1] != '\n') ++line_;
    }
    countedTo_ = end;
  };
  if (markLine_ == 0 && markOffset_ >= countedTo_ && markOffset_ <= offset) {
    countTo(markOffset_);
    markLine_ = line_;
  }
  countTo(offset);
}

std::int32_t XmlPullReader::lineAt(std::size_t offset) {
  offset = std::min(offset, base_ + document_.size());
  if (offset == markOffset_ && markLine_ != 0) return markLine_;
  if (offset < countedTo_) {
    // Counted again from the start while the window holds it.
    if (base_ != 0) return line_;
    countedTo_ = 0;
    line_ = 1;
  }
  countLinesTo(offset);
  return line_;
}

void XmlPullReader::markLine() {
  markOffset_ = offset_;
  markLine_ = 0;
}

bool XmlPullReader::hasOpenExactly(std::span<const std::string_view> names) const {
  if (pendingEnd_ || names.size() != openEnds_.size()) return false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!sameName(std::string_view(openNames_).substr(start, openEnds_[i] - start), names[i])) {
      return false;
    }
    start = openEnds_[i];
  }
  return true;
}

void XmlPullReader::startInside(std::span<const std::string_view> names) {
  for (const std::string_view name : names) {
    openNames_ += name;
    openEnds_.push_back(openNames_.size());
  }
  rootSeen_ = true;
}

void XmlPullReader::popOpen() {
  openEnds_.pop_back();
  openNames_.resize(openEnds_.empty() ? 0 : openEnds_.back());
}

std::string_view XmlPullReader::openName() const {
  const std::size_t start = openEnds_.size() < 2 ? 0 : openEnds_[openEnds_.size() - 2];
  return std::string_view(openNames_).substr(start, openEnds_.back() - start);
}

bool XmlPullReader::fail(std::size_t at, std::string what) {
  faultOffset_ = base_ + at;
  fault_ = std::move(what);
  return false;
}

std::size_t XmlPullReader::nameEnd(std::size_t at) const {
  if (at >= document_.size() || !isNameStart(document_[at])) return at;
  while (at < document_.size() && isNameChar(document_[at])) ++at;
  return at;
}

void XmlPullReader::decodeInto(std::string& out, std::string_view raw, bool attribute) const {
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '&') {
      const std::size_t length = decodeReference(raw, i, out);
      if (length > 0) {
        i += length - 1;
        continue;
      }
      out.push_back(c);
    } else if (c == '\r') {
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
      out.push_back(attribute ? ' ' : '\n');
    } else if (attribute && (c == '\n' || c == '\t')) {
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
}

std::string_view XmlPullReader::attribute(std::string_view name) const {
  for (const Attribute& each : attributes_) {
    if (each.name == name)
      return std::string_view(values_).substr(each.valueStart, each.valueLength);
  }
  return {};
}

bool XmlPullReader::hasAttribute(std::string_view name) const {
  for (const Attribute& each : attributes_) {
    if (each.name == name) return true;
  }
  return false;
}

bool XmlPullReader::next(Token& token) {
  if (broken_) return false;
  closing_ = false;
  if (pendingEnd_) {
    pendingEnd_ = false;
    popOpen();
    closing_ = true;
    token = Token::end;
    return true;
  }
  while (!advance(token)) {
    // Before the document's end, a fault may be a token the window cut:
    // read again once the window holds more, it is decided at the end.
    if (atEnd_ || !refill()) {
      broken_ = true;
      return false;
    }
  }
  return true;
}

bool XmlPullReader::advance(Token& token) {
  while (at_ < document_.size()) {
    if (document_[at_] != '<') {
      if (openEnds_.empty()) {
        // Between the prolog's parts and after the root: white space only.
        if (!isSpace(document_[at_])) return fail(at_, "text outside the root element");
        ++at_;
        continue;
      }
      return characterData(token);
    }
    // Most markup is tags: the second byte tells them from the rest.
    const char second = at_ + 1 < document_.size() ? document_[at_ + 1] : '\0';
    if (second != '?' && second != '!' && second != '/') return startTag(token);
    if (second == '/') return endTag(token);
    if (second == '?') {
      const std::size_t end = document_.find("?>", at_ + 2);
      if (end == std::string_view::npos) return fail(at_, "a processing instruction is not closed");
      at_ = end + 2;
    } else if (holdsAt(document_, at_, "<!--")) {
      const std::size_t end = document_.find("-->", at_ + 4);
      if (end == std::string_view::npos) return fail(at_, "a comment is not closed");
      at_ = end + 3;
    } else if (holdsAt(document_, at_, "<![CDATA[")) {
      if (openEnds_.empty()) return fail(at_, "a CDATA section outside the root element");
      const std::size_t start = at_ + 9;
      const std::size_t end = document_.find("]]>", start);
      if (end == std::string_view::npos) return fail(at_, "a CDATA section is not closed");
      const std::string_view raw = document_.substr(start, end - start);
      offset_ = base_ + start;
      at_ = end + 3;
      if (raw.find('\r') == std::string_view::npos) {
        text_ = raw;
      } else {
        decoded_.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
          if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
          decoded_.push_back(raw[i] == '\r' ? '\n' : raw[i]);
        }
        text_ = decoded_;
      }
      token = Token::text;
      return true;
    } else if (holdsAt(document_, at_, "<!DOCTYPE")) {
      if (rootSeen_) return fail(at_, "a document type declaration after the root element");
      if (!skipMarkup()) return false;
    } else {
      return fail(at_, "markup that is not XML");
    }
  }
  if (!atEnd_) return false;
  if (!openEnds_.empty()) {
    return fail(document_.size(),
                "the element " + std::string(openName()) + " is not closed at the end");
  }
  if (!rootSeen_) return fail(document_.size(), "no root element");
  token = Token::done;
  return true;
}

bool XmlPullReader::skipMarkup() {
  // A declaration's end, past quoted parts and the internal subset.
  const std::size_t start = at_;
  int brackets = 0;
  for (std::size_t i = at_ + 2; i < document_.size(); ++i) {
    const char c = document_[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = document_.find(c, i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == '>' && brackets <= 0) {
      at_ = i + 1;
      return true;
    }
  }
  return fail(start, "a document type declaration is not closed");
}

bool XmlPullReader::startTag(Token& token) {
  const std::size_t start = at_ + 1;
  const std::size_t end = nameEnd(start);
  if (end == start) return fail(start, "a tag without a name");
  if (openEnds_.empty() && rootSeen_) return fail(at_, "a second root element");
  name_ = document_.substr(start, end - start);
  offset_ = base_ + start;
  attributes_.clear();
  values_.clear();
  std::size_t i = end;
  for (;;) {
    const std::size_t before = i;
    while (i < document_.size() && isSpace(document_[i])) ++i;
    if (i >= document_.size()) return fail(start, "a tag is not closed");
    if (document_[i] == '>' ||
        (document_[i] == '/' && i + 1 < document_.size() && document_[i + 1] == '>')) {
      const bool empty = document_[i] == '/';
      at_ = i + (empty ? 2 : 1);
      openNames_ += name_;
      openEnds_.push_back(openNames_.size());
      rootSeen_ = true;
      pendingEnd_ = empty;
      token = Token::start;
      return true;
    }
    const std::size_t nameStart = i;
    i = nameEnd(i);
    if (i == nameStart || nameStart == before)
      return fail(nameStart, "an attribute is not well formed");
    const std::string_view name = document_.substr(nameStart, i - nameStart);
    while (i < document_.size() && isSpace(document_[i])) ++i;
    if (i >= document_.size() || document_[i] != '=') {
      return fail(i, "an attribute without its value");
    }
    ++i;
    while (i < document_.size() && isSpace(document_[i])) ++i;
    if (i >= document_.size() || (document_[i] != '"' && document_[i] != '\'')) {
      return fail(i, "an attribute value without quotes");
    }
    const std::size_t close = document_.find(document_[i], i + 1);
    if (close == std::string_view::npos) return fail(i, "an attribute value is not closed");
    const std::string_view raw = document_.substr(i + 1, close - i - 1);
    if (raw.find('<') != std::string_view::npos) return fail(i, "a < in an attribute value");
    for (const Attribute& each : attributes_) {
      if (each.name == name) return fail(nameStart, "an attribute given twice");
    }
    const std::size_t valueStart = values_.size();
    decodeInto(values_, raw, true);
    attributes_.push_back({name, valueStart, values_.size() - valueStart});
    i = close + 1;
  }
}

bool XmlPullReader::endTag(Token& token) {
  const std::size_t start = at_ + 2;
  const std::size_t end = nameEnd(start);
  std::size_t i = end;
  while (i < document_.size() && isSpace(document_[i])) ++i;
  if (end == start || i >= document_.size() || document_[i] != '>') {
    return fail(start, "an end tag is not well formed");
  }
  const std::string_view name = document_.substr(start, end - start);
  if (openEnds_.empty() || !sameName(openName(), name)) {
    return fail(start, openEnds_.empty() ? "an end tag without its start tag"
                                         : "the end tag " + std::string(name) +
                                               " closes the element " + std::string(openName()));
  }
  name_ = name;
  offset_ = base_ + start;
  popOpen();
  closing_ = true;
  at_ = i + 1;
  token = Token::end;
  return true;
}

bool XmlPullReader::characterData(Token& token) {
  const std::size_t start = at_;
  const std::size_t special = firstMarkupOrReturn(document_, start);
  // Text without references or CR is a view of the document.
  const bool plain = special == std::string_view::npos || document_[special] == '<';
  std::size_t end = plain ? special : document_.find('<', special);
  // Text the window's end cuts is read whole once the window holds more.
  if (end == std::string_view::npos && !atEnd_) return false;
  if (end == std::string_view::npos) end = document_.size();
  const std::string_view raw = document_.substr(start, end - start);
  offset_ = base_ + start;
  at_ = end;
  if (plain) {
    text_ = raw;
  } else {
    decoded_.clear();
    decodeInto(decoded_, raw, false);
    text_ = decoded_;
  }
  token = Token::text;
  return true;
}

}  // namespace sorvane
