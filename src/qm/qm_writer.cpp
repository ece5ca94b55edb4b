#include "qm/qm_writer.h"

#include "platform/pieces_in_order.h"
#include "platform/side_by_side.h"
#include "qm/qm_format.h"

#include <cstring>
#include <limits>
#include <type_traits>

namespace sorvane {

namespace {

constexpr std::uint64_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* out) : out_(out) {}

  void byte(std::uint8_t value) { *out_++ = value; }
  void number(std::uint64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    byte(static_cast<std::uint8_t>(v >> 24));
    byte(static_cast<std::uint8_t>(v >> 16));
    byte(static_cast<std::uint8_t>(v >> 8));
    byte(static_cast<std::uint8_t>(v));
  }
  std::uint8_t* position() const { return out_; }
  void skip(std::uint64_t count) { out_ += count; }
  void bytes(const void* data, std::size_t count) {
    if (count != 0) std::memcpy(out_, data, count);
    out_ += count;
  }
  // A block with its tag and length; nothing when it is empty.
  void block(std::uint8_t tag, std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    byte(tag);
    number(data.size());
    bytes(data.data(), data.size());
  }
  // An 8-bit text item as Qt writes it: tag, length, text.
  void qtByteText(std::uint8_t tag, std::string_view text) {
    byte(tag);
    number(text.size());
    bytes(text.data(), text.size());
  }
  // An 8-bit text item: tag, length with the terminating zero, text, zero.
  void byteText(std::uint8_t tag, std::string_view text) {
    byte(tag);
    number(text.size() + 1);
    bytes(text.data(), text.size());
    byte(0);
  }
  // A translation item: its text in UTF-16BE, or "no translation".
  void translation(std::u16string_view text, bool absent) {
    byte(kTranslationTag);
    if (absent) {
      number(kAbsentTranslationLength);
      return;
    }
    const std::size_t byteCount = 2 * text.size();
    scratch_.assign(text.begin(), text.end());
    scratch_.resize(text.size() + 1);
    swapUtf16Units(scratch_.data(), byteCount);
    number(byteCount);
    bytes(scratch_.data(), byteCount);
  }

 private:
  std::uint8_t* out_;
  std::vector<char16_t> scratch_;
};

// Counts what a ByteWriter would write, so that sizes and records come
// from the same code.
class ByteCounter {
 public:
  void byte(std::uint8_t) { ++count_; }
  void number(std::uint64_t) { count_ += 4; }
  void qtByteText(std::uint8_t, std::string_view text) { count_ += 5 + text.size(); }
  void byteText(std::uint8_t, std::string_view text) { count_ += 6 + text.size(); }
  void translation(std::u16string_view text, bool absent) {
    count_ += 5 + (absent ? 0 : 2 * std::uint64_t{text.size()});
  }
  std::uint64_t count() const { return count_; }

 private:
  std::uint64_t count_ = 0;
};

// A text's place, trivially made, so that an array of them is not written
// before it is filled.
template <typename Char>
struct TextPlace {
  const Char* start;
  std::size_t length;

  TextPlace& operator=(std::basic_string_view<Char> text) {
    start = text.data();
    length = text.size();
    return *this;
  }
  operator std::basic_string_view<Char>() const { return {start, length}; }
  const Char* data() const { return start; }
  std::size_t size() const { return length; }
  bool empty() const { return length == 0; }
};

// An entry as it is written, gathered from the document's lists.
struct GatheredEntry {
  TextPlace<char16_t> text;
  TextPlace<char> section;
  TextPlace<char> subsection;
  TextPlace<char> comment;
  std::uint32_t hash;
  std::uint32_t size;
  std::int32_t index;
  std::int32_t forms;   // translations (plural forms)
  bool absent;          // the first one is written as "no translation"
  unsigned shapeMarks;  // EntryForms::kShapeMarks
};
static_assert(std::is_trivially_default_constructible_v<GatheredEntry>);

// The items that name a record's message for Qt's lookup.
enum class RecordNaming {
  none,           // nothing: the record matches any context and source text
  context,        // 0x07 section
  source,         // 0x06 section
  sourceContext,  // 0x06 section, 0x07 subsection
  contextTwice,   // 0x07 section, 0x07 subsection
};

RecordNaming namingOf(std::string_view section, std::string_view subsection, unsigned marks) {
  if ((marks & EntryForms::kContextTwice) != 0) return RecordNaming::contextTwice;
  if ((marks & EntryForms::kSourceOnly) != 0) return RecordNaming::source;
  if ((marks & EntryForms::kSourceAndContext) != 0 || !subsection.empty()) {
    return RecordNaming::sourceContext;
  }
  if ((marks & EntryForms::kContextOnly) != 0 || !section.empty()) return RecordNaming::context;
  return RecordNaming::none;
}

// Writes (or counts) a record: the translations, then the items that name
// the message, in one of two shapes. Qt's own: the comment, then source
// text and context, 8-bit texts without a terminating zero, and Qt's end
// tag. Otherwise: texts with their zero, and 0x05, the hash and 0x01.
template <typename Out>
void emitRecord(Out& out, const QmDocument& document, const GatheredEntry& entry, bool qtShape) {
  out.translation(entry.text, entry.absent);
  for (std::int32_t form = 1; form < entry.forms; ++form) {
    const std::u16string_view text = document.forms.text(entry.index, form);
    out.translation(text, text.empty() && document.forms.absent(entry.index, form));
  }
  const RecordNaming naming = namingOf(entry.section, entry.subsection, entry.shapeMarks);
  if (qtShape) {
    // Qt's readers keep an item's text until the next record names it
    // again, so a record with a source text names its comment even when it
    // is empty.
    const bool withSource = naming == RecordNaming::sourceContext || naming == RecordNaming::source;
    if (withSource || !entry.comment.empty()) out.qtByteText(kCommentTag, entry.comment);
    switch (naming) {
      case RecordNaming::none:
        break;
      case RecordNaming::context:
        out.qtByteText(kSubsectionTag, entry.section);
        break;
      case RecordNaming::source:
        out.qtByteText(kSectionTag, entry.section);
        break;
      case RecordNaming::sourceContext:
        out.qtByteText(kSectionTag, entry.section);
        out.qtByteText(kSubsectionTag, entry.subsection);
        break;
      case RecordNaming::contextTwice:
        out.qtByteText(kSubsectionTag, entry.section);
        out.qtByteText(kSubsectionTag, entry.subsection);
        break;
    }
    out.byte(kQtRecordEndTag);
    return;
  }
  if (!entry.comment.empty()) out.byteText(kCommentTag, entry.comment);
  switch (naming) {
    case RecordNaming::none:
      break;
    case RecordNaming::context:
      out.byteText(kSubsectionTag, entry.section);
      break;
    case RecordNaming::source:
      out.byteText(kSectionTag, entry.section);
      break;
    case RecordNaming::sourceContext:
      if (entry.section.empty() && !entry.subsection.empty()) {
        // An empty section ahead of the subsection, closed by Qt's end tag
        // so that both readers stop right after the subsection.
        out.byte(kSectionTag);
        out.number(0);
        out.byteText(kSubsectionTag, entry.subsection);
        out.byte(kQtRecordEndTag);
        return;
      }
      out.byteText(kSectionTag, entry.section);
      out.byteText(kSubsectionTag, entry.subsection);
      break;
    case RecordNaming::contextTwice:
      out.byteText(kSubsectionTag, entry.section);
      out.byteText(kSubsectionTag, entry.subsection);
      break;
  }
  out.byte(kRecordEndTag);
  out.number(entry.hash);
  out.byte(kQtRecordEndTag);
}

}  // namespace

QmQtBlocks qtBlocksOf(const QmDocument& document) {
  return {document.languageBlock, document.dependenciesBlock, document.numerusRulesBlock};
}

namespace {

GatheredEntry gatheredEntry(const QmDocument& document, std::int32_t index, bool anyForms) {
  GatheredEntry entry;
  entry.text = document.translations.view(index);
  entry.section = document.sectionTexts.view(index);
  entry.subsection = document.subsectionTexts.view(index);
  entry.hash = document.hashes[static_cast<std::size_t>(index)];
  entry.comment = document.comments.view(index);
  entry.index = index;
  entry.forms = anyForms ? document.forms.count(index) : 1;
  entry.absent = anyForms && entry.text.empty() && document.forms.absent(index, 0);
  entry.shapeMarks = anyForms ? document.forms.marks(index) & EntryForms::kShapeMarks : 0;
  entry.size = 0;
  return entry;
}

// Hands the bytes on to a sink in pieces of about a megabyte.
class PieceWriter {
 public:
  explicit PieceWriter(const ContentSink& put) : put_(put), buffer_(kPiece) {}

  // Room for count bytes at the end of the piece, which then grows by them;
  // a larger piece is made for a larger count.
  std::uint8_t* room(std::size_t count) {
    if (used_ + count > buffer_.size()) {
      flush();
      if (count > buffer_.size()) buffer_.resize(count);
    }
    std::uint8_t* at = buffer_.data() + used_;
    used_ += count;
    return at;
  }
  void flush() {
    if (used_ > 0 && error_ == 0) error_ = put_(std::span(buffer_.data(), used_));
    used_ = 0;
  }
  // Hands bytes made elsewhere on after what is held; whether all went well.
  bool passOn(std::span<const std::uint8_t> bytes) {
    flush();
    if (error_ == 0) error_ = put_(bytes);
    return error_ == 0;
  }
  int error() const { return error_; }

 private:
  static constexpr std::size_t kPiece = std::size_t{1} << 20;
  const ContentSink& put_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  int error_ = 0;
};

}  // namespace

int writeQmFile(const QmDocument& document, std::span<const std::int32_t> order,
                std::span<const std::uint8_t> contextTable, const QmQtBlocks& qtBlocks,
                const ContentSink& put) {
  // Every record's size first, the two halves side by side; the records
  // are then written in order, a piece at a time, never held whole.
  const bool anyForms = !document.forms.empty();
  const bool qtShape = document.qtRecords;
  std::vector<std::uint32_t> sizes(order.size());
  const std::size_t half = order.size() / 2;
  // The sum of the record sizes of a range, or more than kMaxLength when a
  // record is too large.
  const auto measure = [&](std::size_t from, std::size_t to) {
    std::uint64_t length = 0;
    for (std::size_t i = from; i < to; ++i) {
      ByteCounter counter;
      emitRecord(counter, document, gatheredEntry(document, order[i], anyForms), qtShape);
      const std::uint64_t size = counter.count();
      if (size > kMaxLength) return kMaxLength + 1;
      sizes[i] = static_cast<std::uint32_t>(size);
      length += size;
    }
    return length;
  };
  std::uint64_t firstHalfLength = 0;
  std::uint64_t secondHalfLength = 0;
  runSideBySide([&] { firstHalfLength = measure(0, half); },
                [&] { secondHalfLength = measure(half, order.size()); });
  const std::uint64_t messagesLength = firstHalfLength + secondHalfLength;
  const std::uint64_t indexLength = 8 * std::uint64_t{order.size()};
  if (indexLength > kMaxLength || messagesLength > kMaxLength || contextTable.size() > kMaxLength) {
    return EFBIG;
  }
  for (const auto block : {qtBlocks.language, qtBlocks.dependencies, qtBlocks.numerusRules}) {
    if (block.size() > kMaxLength) return EFBIG;
  }
  const auto blockSize = [](std::span<const std::uint8_t> block) -> std::size_t {
    return block.empty() ? 0 : 5 + block.size();
  };

  PieceWriter out(put);
  {
    const std::size_t head =
        kQmMagic.size() + blockSize(qtBlocks.language) + blockSize(qtBlocks.dependencies) + 5;
    ByteWriter writer(out.room(head));
    writer.bytes(kQmMagic.data(), kQmMagic.size());
    writer.block(kLanguageBlockTag, qtBlocks.language);
    writer.block(kDependenciesBlockTag, qtBlocks.dependencies);
    writer.byte(kIndexBlockTag);
    writer.number(indexLength);
  }
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    ByteWriter writer(out.room(8));
    writer.number(document.hashes[static_cast<std::size_t>(order[i])]);
    writer.number(offset);
    offset += sizes[i];
  }
  {
    ByteWriter writer(out.room(5));
    writer.byte(kMessagesBlockTag);
    writer.number(messagesLength);
  }
  // The records of a large file are made in pieces on two threads.
  constexpr std::size_t kRecordsAPiece = 4096;
  if (order.size() < 2 * kRecordsAPiece) {
    for (std::size_t i = 0; i < order.size() && out.error() == 0; ++i) {
      ByteWriter writer(out.room(sizes[i]));
      emitRecord(writer, document, gatheredEntry(document, order[i], anyForms), qtShape);
    }
  } else {
    makePiecesInOrder(
        (order.size() + kRecordsAPiece - 1) / kRecordsAPiece,
        [&](int, std::size_t piece, std::string& into) {
          const std::size_t start = piece * kRecordsAPiece;
          const std::size_t end = std::min(start + kRecordsAPiece, order.size());
          std::size_t bytes = 0;
          for (std::size_t i = start; i < end; ++i) bytes += sizes[i];
          into.resize(bytes);
          ByteWriter writer(reinterpret_cast<std::uint8_t*>(into.data()));
          for (std::size_t i = start; i < end; ++i) {
            emitRecord(writer, document, gatheredEntry(document, order[i], anyForms), qtShape);
          }
        },
        [&out](const std::string& piece) {
          return out.passOn(
              std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()));
        });
  }
  {
    ByteWriter writer(out.room(blockSize(contextTable) + blockSize(qtBlocks.numerusRules)));
    writer.block(kContextBlockTag, contextTable);
    writer.block(kNumerusRulesBlockTag, qtBlocks.numerusRules);
  }
  out.flush();
  return out.error();
}

std::optional<QmFileBytes> buildQmFile(const QmDocument& document,
                                       std::span<const std::int32_t> order,
                                       std::span<const std::uint8_t> contextTable,
                                       const QmQtBlocks& qtBlocks) {
  QmFileBytes file;
  const int error = writeQmFile(document, order, contextTable, qtBlocks,
                                [&file](std::span<const std::uint8_t> piece) {
                                  const std::size_t at = file.size();
                                  file.resize(at + piece.size());
                                  std::memcpy(file.data() + at, piece.data(), piece.size());
                                  return 0;
                                });
  if (error != 0) return std::nullopt;
  return file;
}

}  // namespace sorvane
