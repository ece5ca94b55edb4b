#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
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
// internal subset, one root element, no character reference to U+0000
// anywhere), decodes the five predefined entities and character references
// (an unknown reference stays as it is) and ends every line in a line
// feed. Attribute values have their white space as spaces.
//
// A document is read whole from memory, or a piece at a time from a source
// into a window that moves along it: a file of tens of megabytes then never
// needs memory of its size. A token cut by the window's end is read again
// once the window holds more, so both give the same tokens.
class XmlPullReader {
 public:
  enum class Token { start, end, text, done };
  // Fills buffer with up to room bytes of the document, in order; returns
  // how many, 0 at its end or, with *error set to an errno, when it can't
  // be read.
  using Source = std::function<std::size_t(char* buffer, std::size_t room, int* error)>;

  explicit XmlPullReader(std::string_view document);
  // The document from source, through a window of windowBytes at first (it
  // grows to hold a longer token).
  XmlPullReader(Source source, std::size_t windowBytes);

  // The next token; false when the document is not well formed, with
  // faultOffset() and fault() saying where and why, or when the source
  // failed (readError()).
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
  std::size_t depth() const { return openEnds_.size() + (closing_ ? 1 : 0); }

  // The line of an offset. Asked for in increasing offsets, from the
  // current token's on, lines are counted once over the document; an
  // offset the window has left behind has the line it had when it was
  // marked (markLine), or the last line counted.
  std::int32_t lineAt(std::size_t offset);
  // Keeps the line of the current token's offset for a later lineAt.
  void markLine();

  // Where the next token is read from: a document offset.
  std::size_t nextOffset() const { return base_ + at_; }
  // Whether the elements open are exactly these, outermost first, with no
  // end tag pending: a reader of the document from nextOffset() on, told
  // of them by startInside, then reads what this one would.
  bool hasOpenExactly(std::span<const std::string_view> names) const;
  // Reads the document as the rest of a larger one, cut where these
  // elements were open (outermost first) and its root already seen.
  // Before the first token only.
  void startInside(std::span<const std::string_view> names);

  std::size_t faultOffset() const { return faultOffset_; }
  const std::string& fault() const { return fault_; }
  // The errno of the source's failure, or 0.
  int readError() const { return readError_; }

 private:
  struct Attribute {
    std::string_view name;
    std::size_t valueStart = 0;
    std::size_t valueLength = 0;
  };
  bool fail(std::size_t at, std::string what);
  bool advance(Token& token);
  bool refill();
  bool scanForNul();
  void countLinesTo(std::size_t offset);
  std::string_view openName() const;
  void popOpen();
  bool startTag(Token& token);
  bool endTag(Token& token);
  bool skipMarkup();
  bool characterData(Token& token);
  std::size_t nameEnd(std::size_t at) const;
  void decodeInto(std::string& out, std::string_view raw, bool attribute) const;

  // The document, or the window on it: offsets into it are relative to
  // base_, the document offset of its first byte.
  std::string_view document_;
  std::size_t base_ = 0;
  std::size_t at_ = 0;
  bool atEnd_ = true;  // the window holds the document's end
  Source source_;
  std::vector<char> window_;
  std::size_t scannedTo_ = 0;   // of the window, checked for &#0; up to there
  std::size_t countedTo_ = 0;   // a document offset: the lines before it are counted
  std::int32_t line_ = 1;       // the line at countedTo_
  std::size_t markOffset_ = 0;  // a document offset, with markLine_ its line once counted
  std::int32_t markLine_ = 0;
  int readError_ = 0;
  bool broken_ = false;  // the document failed: every next() fails
  // The names of the open elements, one after another, with where each ends.
  std::string openNames_;
  std::vector<std::size_t> openEnds_;
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
