#include "textio/po_reader.h"

#include "platform/utf8.h"
#include "textio/read_units.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

// The PO grammar as GNU gettext reads it: a backslash at the end of a line
// joins it to the next one anywhere in the file; a message is an optional
// msgctxt, a msgid, an optional msgid_plural and its msgstr or msgstr[n],
// each a string of one or more quoted pieces on lines of their own; "#,"
// lines give flags ("fuzzy"), "#~" lines an obsolete message, every other
// "#" line is a comment. The header (the first message with an empty msgid
// and no msgctxt) names the charset.

namespace sorvane {

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

int hexDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

// A quoted string with C's escapes, appended to value; what follows it is
// left in rest.
bool quoted(std::string_view text, std::string& value, std::string_view& rest, std::string& fault) {
  if (text.empty() || text.front() != '"') {
    fault = "a string must start with a quote";
    return false;
  }
  std::size_t i = 1;
  for (;;) {
    // Plain characters up to the next quote or backslash go in one piece.
    // A plain loop: find_first_of would look up every byte in its set.
    std::size_t plain = i;
    while (plain < text.size() && text[plain] != '"' && text[plain] != '\\') ++plain;
    value.append(text.substr(i, plain - i));
    i = plain;
    if (i >= text.size() || text[i] == '"') break;
    if (++i == text.size()) break;
    const char escape = text[i++];
    switch (escape) {
      case 'n':
        value.push_back('\n');
        break;
      case 't':
        value.push_back('\t');
        break;
      case 'r':
        value.push_back('\r');
        break;
      case 'b':
        value.push_back('\b');
        break;
      case 'f':
        value.push_back('\f');
        break;
      case 'v':
        value.push_back('\v');
        break;
      case 'a':
        value.push_back('\a');
        break;
      case '\\':
      case '"':
      case '\'':
      case '?':
        value.push_back(escape);
        break;
      case 'x': {
        int code = 0;
        std::size_t digits = 0;
        while (i < text.size() && hexDigit(text[i]) >= 0) {
          code = (code * 16 + hexDigit(text[i++])) & 0xFF;
          ++digits;
        }
        if (digits == 0) {
          fault = "\\x without hexadecimal digits";
          return false;
        }
        value.push_back(static_cast<char>(code));
        break;
      }
      default:
        if (escape >= '0' && escape <= '7') {
          int code = escape - '0';
          for (int more = 0; more < 2 && i < text.size() && text[i] >= '0' && text[i] <= '7';
               ++more) {
            code = code * 8 + (text[i++] - '0');
          }
          value.push_back(static_cast<char>(code & 0xFF));
          break;
        }
        fault = std::string("invalid control sequence \\").append(1, escape);
        return false;
    }
  }
  if (i >= text.size()) {
    fault = "a string without its closing quote";
    return false;
  }
  rest = text.substr(i + 1);
  return true;
}

enum class Field { none, context, id, idPlural, string };

// Reads the messages straight into the units, a line at a time: each
// field's bytes are gathered, then checked as UTF-8 and added as the
// unit's id or text once the field ends.
class PoReader {
 public:
  // known: the bytes are UTF-8 whatever the header says (a file already
  // converted).
  PoReader(std::string_view bytes, ReadUnits& units, bool knownUtf8)
      : bytes_(bytes), units_(units), knownUtf8_(knownUtf8) {}

  bool read(std::string& error);
  // The charset the header names, lower-cased; empty when it names none.
  const std::string& charset() const { return charset_; }
  // The line of the first message with a text that is not UTF-8; 0 when
  // there is none.
  std::int32_t invalidLine() const { return invalidLine_; }

 private:
  // The next logical line: "\\\n" joins two lines; its number is that
  // of the file's line it starts on.
  bool nextLine(std::string_view& text, std::int32_t& number);
  bool line(std::string_view text, std::int32_t number, bool obsolete);
  bool keyword(std::string_view text, std::int32_t number, bool obsolete);
  void endField();
  bool finish(std::int32_t number);
  bool fail(std::int32_t number, std::string_view what) {
    error_ = "line " + std::to_string(number) + ": " + std::string(what);
    return false;
  }

  std::string_view bytes_;
  ReadUnits& units_;
  bool knownUtf8_;
  std::size_t at_ = 0;
  std::int32_t nextNumber_ = 1;
  std::string joined_;

  // The message being read.
  bool open_ = false;
  std::int32_t messageLine_ = 0;
  bool obsolete_ = false;
  bool hasContext_ = false;
  bool hasId_ = false;
  bool hasIdPlural_ = false;
  std::int32_t strings_ = 0;
  bool header_ = false;

  bool headerSeen_ = false;
  bool pendingFuzzy_ = false;
  Field field_ = Field::none;
  std::string value_;  // the field's bytes so far
  std::string piece_;
  std::string charset_;
  std::int32_t invalidLine_ = 0;
  std::string error_;
};

bool PoReader::nextLine(std::string_view& text, std::int32_t& number) {
  if (at_ >= bytes_.size()) return false;
  std::size_t end = bytes_.find('\n', at_);
  if (end == std::string_view::npos) end = bytes_.size();
  number = nextNumber_++;
  if (end == bytes_.size() || end == at_ || bytes_[end - 1] != '\\') {
    text = bytes_.substr(at_, end - at_);
    at_ = end + 1;
    return true;
  }
  joined_.clear();
  while (end < bytes_.size() && end > at_ && bytes_[end - 1] == '\\') {
    joined_.append(bytes_.substr(at_, end - 1 - at_));
    at_ = end + 1;
    end = bytes_.find('\n', at_);
    if (end == std::string_view::npos) end = bytes_.size();
    ++nextNumber_;
  }
  joined_.append(bytes_.substr(at_, end - at_));
  at_ = end + 1;
  text = joined_;
  return true;
}

bool PoReader::read(std::string& error) {
  std::string_view text;
  std::int32_t number = 0;
  std::int32_t last = 1;
  while (nextLine(text, number)) {
    last = number;
    text = trimmed(text);
    bool obsolete = false;
    if (text.starts_with("#~")) {
      // An obsolete message's lines; "#~|" is its previous text.
      text.remove_prefix(2);
      if (text.starts_with("|")) continue;
      text = trimmed(text);
      obsolete = true;
      if (text.empty()) continue;
    } else if (text.starts_with("#,")) {
      std::string_view flags = text.substr(2);
      while (!flags.empty()) {
        const std::size_t comma = flags.find(',');
        if (trimmed(flags.substr(0, comma)) == "fuzzy") pendingFuzzy_ = true;
        flags = comma == std::string_view::npos ? std::string_view() : flags.substr(comma + 1);
      }
      continue;
    } else if (text.starts_with("#") || text.empty()) {
      continue;
    }
    if (!line(text, number, obsolete)) {
      error = error_;
      return false;
    }
  }
  if (!finish(last)) {
    error = error_;
    return false;
  }
  return true;
}

bool PoReader::line(std::string_view text, std::int32_t number, bool obsolete) {
  if (text.front() != '"') return keyword(text, number, obsolete);
  if (field_ == Field::none) return fail(number, "a string without a keyword before it");
  std::string fault;
  std::string_view rest;
  if (!quoted(text, value_, rest, fault)) return fail(number, fault);
  if (!trimmed(rest).empty()) return fail(number, "text after the string");
  return true;
}

bool PoReader::keyword(std::string_view text, std::int32_t number, bool obsolete) {
  const std::size_t end = text.find_first_of(" \t\"");
  const std::string_view word = text.substr(0, end);
  std::string_view value = end == std::string_view::npos ? std::string_view() : text.substr(end);
  value = trimmed(value);
  Field field = Field::none;
  std::int32_t index = -1;
  if (word == "msgctxt") {
    field = Field::context;
  } else if (word == "msgid") {
    field = Field::id;
  } else if (word == "msgid_plural") {
    field = Field::idPlural;
  } else if (word == "msgstr") {
    field = Field::string;
  } else if (word.starts_with("msgstr[") && word.ends_with("]") && word.size() > 8) {
    field = Field::string;
    index = 0;
    for (const char digit : word.substr(7, word.size() - 8)) {
      if (digit < '0' || digit > '9' || index > 1000) {
        return fail(number, "not a plural form's number: " + std::string(word));
      }
      index = index * 10 + (digit - '0');
    }
  } else {
    return fail(number, "not PO syntax: " + std::string(text.substr(0, 40)));
  }
  std::string fault;
  std::string_view rest;
  piece_.clear();
  if (!quoted(value, piece_, rest, fault)) return fail(number, fault);
  if (!trimmed(rest).empty()) return fail(number, "text after the string");

  // A msgctxt or msgid after a msgstr begins the next message.
  const bool begins = field == Field::context || (field == Field::id && field_ != Field::context);
  if (begins) {
    if (open_ && !finish(number)) return false;
    open_ = true;
    messageLine_ = number;
    obsolete_ = obsolete;
    hasContext_ = hasId_ = hasIdPlural_ = header_ = false;
    strings_ = 0;
    units_.startUnit(number);
    // An obsolete message is one the tool set aside: not imported, counted.
    units_.setFuzzy(pendingFuzzy_ || obsolete);
    units_.setKeyed(false);
    pendingFuzzy_ = false;
  } else {
    if (!open_) return fail(number, "a msgstr or msgid_plural without its msgid");
    endField();
  }
  switch (field) {
    case Field::context:
      hasContext_ = true;
      units_.setKeyed(true);
      break;
    case Field::id:
      if (hasId_) return fail(number, "a second msgid in one message");
      hasId_ = true;
      break;
    case Field::idPlural:
      if (!hasId_ || hasIdPlural_ || strings_ > 0) {
        return fail(number, "msgid_plural must follow its msgid");
      }
      hasIdPlural_ = true;
      break;
    case Field::string: {
      if (!hasId_) return fail(number, "a msgstr without its msgid");
      const bool plural = index >= 0;
      if (plural != hasIdPlural_) {
        return fail(number, plural ? "msgstr[n] in a message without msgid_plural"
                                   : "a plural message needs msgstr[n]");
      }
      if (plural && index != strings_) {
        return fail(number, "the plural forms' msgstr[n] must come in order from 0");
      }
      if (!plural && strings_ > 0) return fail(number, "a second msgstr");
      ++strings_;
      break;
    }
    case Field::none:
      break;
  }
  field_ = field;
  value_.swap(piece_);
  return true;
}

void PoReader::endField() {
  const Field field = field_;
  field_ = Field::none;
  if (field == Field::none) return;
  // The header is not a message of the Mod: the first message without a
  // context whose msgid is empty.
  if (field == Field::id && !headerSeen_ && !obsolete_ && !hasContext_ && value_.empty()) {
    headerSeen_ = header_ = true;
  }
  if (header_) {
    if (field == Field::string && strings_ == 1 && !knownUtf8_) {
      const std::size_t at = value_.find("charset=");
      for (std::size_t i = at == std::string::npos ? value_.size() : at + 8; i < value_.size();
           ++i) {
        const char c = value_[i];
        if (c == ';' || c == ' ' || c == '\n' || c == '\t' || c == '\r') break;
        charset_.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
      }
    }
    return;
  }
  if (!isValidUtf8(value_)) {
    if (invalidLine_ == 0) invalidLine_ = messageLine_;
    value_.clear();
  }
  if (field == Field::context) {
    units_.appendId(value_);
  } else {
    const std::size_t start = units_.textStart();
    units_.appendText(value_);
    if (field == Field::string) {
      units_.endTranslation(start);
    } else {
      units_.endSource(start);
    }
  }
}

bool PoReader::finish(std::int32_t number) {
  if (!open_) return true;
  endField();
  if (strings_ == 0)
    return fail(messageLine_ == 0 ? number : messageLine_, "a message without msgstr");
  if (header_) units_.dropLastUnit();
  open_ = false;
  return true;
}

bool isUtf8Charset(std::string_view charset) {
  // "CHARSET" is the placeholder of a template nobody filled in.
  return charset.empty() || charset == "utf-8" || charset == "utf8" || charset == "ascii" ||
         charset == "us-ascii" || charset == "charset";
}

// The bytes in UTF-8, from the charset; the line of the first byte that
// is not one of it in error.
std::optional<std::string> converted(std::string_view bytes, const std::string& charset,
                                     std::string& error) {
  iconv_t conversion = iconv_open("UTF-8", charset.c_str());
  if (conversion == reinterpret_cast<iconv_t>(-1)) {
    error = "the file's charset " + charset + " is not known";
    return std::nullopt;
  }
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* to = out.data();
  std::size_t toLeft = out.size();
  const std::size_t result = iconv(conversion, &in, &inLeft, &to, &toLeft);
  const int failure = errno;
  iconv_close(conversion);
  if (result == static_cast<std::size_t>(-1)) {
    const auto at = static_cast<std::size_t>(in - bytes.data());
    const auto line =
        1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    error = "line " + std::to_string(line) + ": " +
            (failure == E2BIG ? std::string("the text is too long")
                              : "a byte that is not text in the file's charset " + charset);
    return std::nullopt;
  }
  out.resize(out.size() - toLeft);
  return out;
}

}  // namespace

std::optional<ReadUnits> parsePo(std::span<const std::uint8_t> bytes, std::string& error) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  ReadUnits units;
  units.reserveForBytes(text.size());
  PoReader reader(text, units, false);
  if (!reader.read(error)) return std::nullopt;
  // A file in another charset is read again in UTF-8, so that a byte of a
  // character in it is never taken for a quote or a backslash.
  if (!isUtf8Charset(reader.charset())) {
    std::optional<std::string> decoded = converted(text, reader.charset(), error);
    if (!decoded) return std::nullopt;
    units = ReadUnits();
    units.reserveForBytes(decoded->size());
    PoReader again(*decoded, units, true);
    if (!again.read(error)) return std::nullopt;
    if (again.invalidLine() == 0) return units;
    error = "line " + std::to_string(again.invalidLine()) + ": a byte that is not UTF-8 text";
    return std::nullopt;
  }
  if (reader.invalidLine() != 0) {
    error = "line " + std::to_string(reader.invalidLine()) + ": a byte that is not UTF-8 text";
    return std::nullopt;
  }
  return units;
}

}  // namespace sorvane
