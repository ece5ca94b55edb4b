#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane {

// Writes JSON objects of string fields, one object per line, through a
// buffer of bounded size, so that output of any length needs no more memory
// than one large text. Texts are written as UTF-8 with JSON's escapes; a
// UTF-16 code unit with no UTF-8 form (a lone surrogate) becomes U+FFFD.
class JsonLineWriter {
 public:
  explicit JsonLineWriter(std::ostream& out) : out_(out) {}

  void beginObject();
  // A field whose value is an object, ended by endObject.
  void beginObject(std::string_view name);
  // A field whose value is already valid UTF-8.
  void field(std::string_view name, std::string_view utf8);
  void field(std::string_view name, std::u16string_view text);
  void field(std::string_view name, std::int32_t number);
  void field(std::string_view name, std::int64_t number);
  void field(std::string_view name, bool value);
  void endObject();
  // Writes what is buffered; false when the stream failed.
  bool flush();

 private:
  void name(std::string_view name);
  void escaped(std::string_view utf8);
  void escaped(std::u16string_view text);
  void escapedUnit(char32_t codePoint);

  std::ostream& out_;
  std::string buffer_;
  bool firstField_ = true;
  int depth_ = 0;
};

}  // namespace sorvane
