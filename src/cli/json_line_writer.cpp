#include "cli/json_line_writer.h"

#include "platform/utf8.h"

namespace sorvane {

namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 16;
constexpr char kHexDigits[] = "0123456789abcdef";

}  // namespace

void JsonLineWriter::beginObject() {
  buffer_.push_back('{');
  firstField_ = true;
  ++depth_;
}

void JsonLineWriter::beginObject(std::string_view name) {
  this->name(name);
  buffer_.back() = '{';
  firstField_ = true;
  ++depth_;
}

void JsonLineWriter::name(std::string_view name) {
  if (!firstField_) buffer_.push_back(',');
  firstField_ = false;
  buffer_.push_back('"');
  escaped(name);
  buffer_.append("\":\"");
}

void JsonLineWriter::field(std::string_view name, std::string_view utf8) {
  this->name(name);
  escaped(utf8);
  buffer_.push_back('"');
}

void JsonLineWriter::field(std::string_view name, std::u16string_view text) {
  this->name(name);
  escaped(text);
  buffer_.push_back('"');
}

void JsonLineWriter::field(std::string_view name, std::int32_t number) {
  this->name(name);
  buffer_.pop_back();  // a number has no quotes
  buffer_.append(std::to_string(number));
}

void JsonLineWriter::field(std::string_view name, std::int64_t number) {
  this->name(name);
  buffer_.pop_back();
  buffer_.append(std::to_string(number));
}

void JsonLineWriter::field(std::string_view name, bool value) {
  this->name(name);
  buffer_.pop_back();
  buffer_.append(value ? "true" : "false");
}

void JsonLineWriter::endObject() {
  // An object inside another ends without a line break; the next field
  // of the outer one follows it.
  buffer_.push_back('}');
  firstField_ = false;
  if (--depth_ > 0) return;
  buffer_.push_back('\n');
  if (buffer_.size() >= kFlushSize) flush();
}

bool JsonLineWriter::flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  out_.flush();
  return static_cast<bool>(out_);
}

void JsonLineWriter::escapedUnit(char32_t codePoint) {
  switch (codePoint) {
    case '"':
      buffer_.append("\\\"");
      return;
    case '\\':
      buffer_.append("\\\\");
      return;
    case '\b':
      buffer_.append("\\b");
      return;
    case '\f':
      buffer_.append("\\f");
      return;
    case '\n':
      buffer_.append("\\n");
      return;
    case '\r':
      buffer_.append("\\r");
      return;
    case '\t':
      buffer_.append("\\t");
      return;
    default:
      break;
  }
  if (codePoint < 0x20) {
    buffer_.append("\\u00");
    buffer_.push_back(kHexDigits[codePoint >> 4]);
    buffer_.push_back(kHexDigits[codePoint & 0xF]);
  } else {
    appendUtf8(buffer_, codePoint);
  }
}

void JsonLineWriter::escaped(std::string_view utf8) {
  for (const char byte : utf8) {
    const auto unit = static_cast<unsigned char>(byte);
    if (unit < 0x20 || unit == '"' || unit == '\\') {
      escapedUnit(unit);
    } else {
      buffer_.push_back(byte);
    }
  }
}

void JsonLineWriter::escaped(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0xD800 || unit > 0xDFFF) {
      escapedUnit(unit);
    } else if (unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      escapedUnit(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      escapedUnit(0xFFFD);
    }
  }
}

}  // namespace sorvane
