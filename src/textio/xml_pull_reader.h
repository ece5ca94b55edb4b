#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// Reads an XML document in UTF-8 as a stream of start tags, end tags and
// character data, without building a tree: the exchange files of a large
// catalogue hold millions of elements. It checks what makes a document
// well formed as far as a reader of these files needs (names, quoted
// attributes, tags that close in order, comments, processing
// instructions, CDATA sections, a document type declaration with an
// internal subset, one root element), decodes the five predefined
// entities and character references (an unknown reference stays as it
// is) and ends every line in a line feed. Attribute values have their
// white space as spaces.
class XmlPullReader {
 public:
  enum class Token { start, end, text, done };

  explicit XmlPullReader(std::string_view document) : document_(document) {}

  // The next token; false when the document is not well formed, with
  // faultOffset() and fault() saying where and why.
  bool next(Token& token);

  // Of a start or end tag: its name and, for a start tag, its attributes.
  std::string_view name() const { return name_; }
  // The decoded value of an attribute of the start tag; empty when it has
  // none of that name.
  std::string_view attribute(std::string_view name) const;
  bool hasAttribute(std::string_view name) const;
  // Of character data: the decoded text (until the next call).
  std::string_view text() const { return text_; }
  // Where the token's name (for a tag) or text starts in the document.
  std::size_t offset() const { return offset_; }
  // How many elements are open around the token (a start tag counts
  // itself, an end tag too).
  std::size_t depth() const { return open_.size() + (closing_ ? 1 : 0); }

  std::size_t faultOffset() const { return faultOffset_; }
  const std::string& fault() const { return fault_; }

 private:
  struct Attribute {
    std::string_view name;
    std::size_t valueStart = 0;
    std::size_t valueLength = 0;
  };
  bool fail(std::size_t at, std::string what);
  bool startTag(Token& token);
  bool endTag(Token& token);
  bool skipMarkup();
  bool characterData(Token& token);
  std::size_t nameEnd(std::size_t at) const;
  void decodeInto(std::string& out, std::string_view raw, bool attribute) const;

  std::string_view document_;
  std::size_t at_ = 0;
  std::vector<std::string_view> open_;
  bool pendingEnd_ = false;  // a start tag that closed itself: its end comes next
  bool closing_ = false;
  bool rootSeen_ = false;
  std::string_view name_;
  std::vector<Attribute> attributes_;
  std::string values_;
  std::string_view text_;
  std::string decoded_;
  std::size_t offset_ = 0;
  std::size_t faultOffset_ = 0;
  std::string fault_;
};

}  // namespace sorvane
