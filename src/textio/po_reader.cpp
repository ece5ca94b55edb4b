#include "textio/po_reader.h"

#include "platform/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

// The PO grammar as GNU gettext reads it: a backslash at the end of a line
// joins it to the next one anywhere in the file; a message is an optional
// msgctxt, a msgid, an optional msgid_plural and its msgstr or msgstr[n],
// each a string of one or more quoted pieces on lines of their own; "#,"
// lines give flags ("fuzzy"), "#~" lines an obsolete message, every other
// "#" line is a comment. The header (the first message with an empty msgid
// and no msgctxt) names the charset.

namespace sorvane {

namespace {

// The bytes as logical lines: "\\\n" removed, each line with the number of
// the file's line it starts on.
struct Line {
  std::string_view text;
  std::int32_t number = 0;
};

// The lines view the bytes; only lines joined at a backslash are copies,
// kept in joined.
std::vector<Line> logicalLines(std::string_view bytes, std::deque<std::string>& joined) {
  std::vector<Line> lines;
  lines.reserve(bytes.size() / 24);
  std::int32_t number = 1;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    const std::int32_t first = number++;
    if (end == bytes.size() || end == at || bytes[end - 1] != '\\') {
      lines.push_back({bytes.substr(at, end - at), first});
      at = end + 1;
      continue;
    }
    std::string& line = joined.emplace_back();
    while (end < bytes.size() && end > at && bytes[end - 1] == '\\') {
      line.append(bytes.substr(at, end - 1 - at));
      at = end + 1;
      end = bytes.find('\n', at);
      if (end == std::string_view::npos) end = bytes.size();
      ++number;
    }
    line.append(bytes.substr(at, end - at));
    lines.push_back({line, first});
    at = end + 1;
  }
  return lines;
}

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

// A quoted string with C's escapes; what follows it is left in rest.
std::optional<std::string> quoted(std::string_view text, std::string_view& rest,
                                  std::string& fault) {
  if (text.empty() || text.front() != '"') {
    fault = "a string must start with a quote";
    return std::nullopt;
  }
  std::string value;
  std::size_t i = 1;
  for (; i < text.size() && text[i] != '"'; ++i) {
    if (text[i] != '\\') {
      value.push_back(text[i]);
      continue;
    }
    if (++i == text.size()) break;
    const char escape = text[i];
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
        while (i + 1 < text.size() && hexDigit(text[i + 1]) >= 0) {
          code = (code * 16 + hexDigit(text[++i])) & 0xFF;
          ++digits;
        }
        if (digits == 0) {
          fault = "\\x without hexadecimal digits";
          return std::nullopt;
        }
        value.push_back(static_cast<char>(code));
        break;
      }
      default:
        if (escape >= '0' && escape <= '7') {
          int code = escape - '0';
          for (int more = 0;
               more < 2 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
               ++more) {
            code = code * 8 + (text[++i] - '0');
          }
          value.push_back(static_cast<char>(code & 0xFF));
          break;
        }
        fault = std::string("invalid control sequence \\").append(1, escape);
        return std::nullopt;
    }
  }
  if (i >= text.size()) {
    fault = "a string without its closing quote";
    return std::nullopt;
  }
  rest = text.substr(i + 1);
  return value;
}

// One message as it is read.
struct Message {
  std::int32_t line = 0;
  bool obsolete = false;
  bool fuzzy = false;
  std::optional<std::string> context;
  std::optional<std::string> id;
  std::optional<std::string> idPlural;
  std::vector<std::optional<std::string>> strings;  // msgstr, or msgstr[n]
  bool plainString = false;                         // msgstr rather than msgstr[n]
};

enum class Field { none, context, id, idPlural, string };

class PoParser {
 public:
  explicit PoParser(std::string_view bytes) : lines_(logicalLines(bytes, joined_)) {}

  bool parse(std::string& error);
  std::vector<Message>& messages() { return messages_; }

 private:
  bool line(std::string_view text, std::int32_t number, bool obsolete);
  bool keyword(std::string_view text, std::int32_t number, bool obsolete);
  bool finish(std::int32_t number);
  bool fail(std::int32_t number, std::string_view what) {
    error_ = "line " + std::to_string(number) + ": " + std::string(what);
    return false;
  }

  std::deque<std::string> joined_;
  std::vector<Line> lines_;
  std::vector<Message> messages_;
  std::optional<Message> current_;
  bool pendingFuzzy_ = false;
  Field field_ = Field::none;
  std::string* appendTo_ = nullptr;
  std::string error_;
};

bool PoParser::parse(std::string& error) {
  for (const Line& each : lines_) {
    std::string_view text = trimmed(each.text);
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
    if (!line(text, each.number, obsolete)) {
      error = error_;
      return false;
    }
  }
  if (!finish(lines_.empty() ? 1 : lines_.back().number)) {
    error = error_;
    return false;
  }
  return true;
}

bool PoParser::line(std::string_view text, std::int32_t number, bool obsolete) {
  if (text.front() != '"') return keyword(text, number, obsolete);
  if (appendTo_ == nullptr) return fail(number, "a string without a keyword before it");
  std::string fault;
  std::string_view rest;
  const std::optional<std::string> piece = quoted(text, rest, fault);
  if (!piece) return fail(number, fault);
  if (!trimmed(rest).empty()) return fail(number, "text after the string");
  *appendTo_ += *piece;
  return true;
}

bool PoParser::keyword(std::string_view text, std::int32_t number, bool obsolete) {
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
  std::optional<std::string> string = quoted(value, rest, fault);
  if (!string) return fail(number, fault);
  if (!trimmed(rest).empty()) return fail(number, "text after the string");

  // A msgctxt or msgid after a msgstr begins the next message.
  const bool begins = field == Field::context || (field == Field::id && field_ != Field::context);
  if (begins) {
    if (current_ && !finish(number)) return false;
    current_ = Message{};
    current_->line = number;
    current_->obsolete = obsolete;
    current_->fuzzy = pendingFuzzy_;
    pendingFuzzy_ = false;
  }
  if (!current_) return fail(number, "a msgstr or msgid_plural without its msgid");
  Message& message = *current_;
  switch (field) {
    case Field::context:
      message.context = std::move(*string);
      appendTo_ = &*message.context;
      break;
    case Field::id:
      if (message.id) return fail(number, "a second msgid in one message");
      message.id = std::move(*string);
      appendTo_ = &*message.id;
      break;
    case Field::idPlural:
      if (!message.id || message.idPlural || !message.strings.empty()) {
        return fail(number, "msgid_plural must follow its msgid");
      }
      message.idPlural = std::move(*string);
      appendTo_ = &*message.idPlural;
      break;
    case Field::string: {
      if (!message.id) return fail(number, "a msgstr without its msgid");
      const bool plural = index >= 0;
      if (plural != message.idPlural.has_value()) {
        return fail(number, plural ? "msgstr[n] in a message without msgid_plural"
                                   : "a plural message needs msgstr[n]");
      }
      if (plural && index != static_cast<std::int32_t>(message.strings.size())) {
        return fail(number, "the plural forms' msgstr[n] must come in order from 0");
      }
      if (!plural && !message.strings.empty()) return fail(number, "a second msgstr");
      message.strings.emplace_back(std::move(*string));
      appendTo_ = &*message.strings.back();
      break;
    }
    case Field::none:
      break;
  }
  field_ = field;
  return true;
}

bool PoParser::finish(std::int32_t number) {
  if (!current_) return true;
  if (current_->strings.empty()) {
    return fail(current_->line == 0 ? number : current_->line, "a message without msgstr");
  }
  messages_.push_back(std::move(*current_));
  current_.reset();
  appendTo_ = nullptr;
  field_ = Field::none;
  return true;
}

// The charset the header names, lower-cased; empty when it names none.
std::string headerCharset(const std::vector<Message>& messages) {
  for (const Message& message : messages) {
    if (message.obsolete || message.context || !message.id || !message.id->empty()) continue;
    const std::string& header = *message.strings.front();
    const std::size_t at = header.find("charset=");
    if (at == std::string::npos) return {};
    std::string charset;
    for (std::size_t i = at + 8; i < header.size(); ++i) {
      const char c = header[i];
      if (c == ';' || c == ' ' || c == '\n' || c == '\t' || c == '\r') break;
      charset.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
    return charset;
  }
  return {};
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

std::optional<std::vector<Message>> messagesOf(std::string_view bytes, std::string& error) {
  PoParser parser(bytes);
  if (!parser.parse(error)) return std::nullopt;
  return std::move(parser.messages());
}

}  // namespace

std::optional<std::vector<ReadUnit>> parsePo(std::span<const std::uint8_t> bytes,
                                             std::string& error) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::optional<std::vector<Message>> messages = messagesOf(text, error);
  if (!messages) return std::nullopt;
  // A file in another charset is read again in UTF-8, so that a byte of a
  // character in it is never taken for a quote or a backslash.
  const std::string charset = headerCharset(*messages);
  std::string utf8;
  if (!isUtf8Charset(charset)) {
    std::optional<std::string> decoded = converted(text, charset, error);
    if (!decoded) return std::nullopt;
    utf8 = std::move(*decoded);
    messages = messagesOf(utf8, error);
    if (!messages) return std::nullopt;
  }

  std::vector<ReadUnit> units;
  units.reserve(messages->size());
  bool headerSeen = false;
  for (Message& held : *messages) {
    // Each message's texts go as soon as its unit holds them, so that the
    // file's texts are not held twice.
    Message message = std::move(held);
    // The header is not a message of the Mod.
    if (!headerSeen && !message.obsolete && !message.context && message.id->empty()) {
      headerSeen = true;
      continue;
    }
    ReadUnit unit;
    unit.line = message.line;
    // An obsolete message is one the tool set aside: not imported, counted.
    unit.fuzzy = message.fuzzy || message.obsolete;
    if (message.context) unit.id = std::move(*message.context);
    unit.keyed = message.context.has_value();
    std::vector<const std::string*> texts{&*message.id};
    if (message.idPlural) texts.push_back(&*message.idPlural);
    for (const std::optional<std::string>& string : message.strings) texts.push_back(&*string);
    for (const std::string* piece : texts) {
      if (!isValidUtf8(*piece)) {
        error = "line " + std::to_string(message.line) + ": a byte that is not UTF-8 text";
        return std::nullopt;
      }
    }
    if (unit.keyed && !isValidUtf8(unit.id)) {
      error = "line " + std::to_string(message.line) + ": a byte that is not UTF-8 text";
      return std::nullopt;
    }
    unit.sources.reserve(message.idPlural ? 2 : 1);
    unit.translations.reserve(message.strings.size());
    unit.sources.push_back(fromUtf8(*message.id));
    if (message.idPlural) unit.sources.push_back(fromUtf8(*message.idPlural));
    for (const std::optional<std::string>& string : message.strings) {
      unit.translations.push_back(fromUtf8(*string));
    }
    units.push_back(std::move(unit));
  }
  return units;
}

}  // namespace sorvane
