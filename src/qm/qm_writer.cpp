#include "qm/qm_writer.h"

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

std::optional<QmFileBytes> buildQmFile(const QmDocument& document,
                                       std::span<const std::int32_t> order,
                                       std::span<const std::uint8_t> contextTable,
                                       const QmQtBlocks& qtBlocks) {
  // In a sorted order each entry is a jump through memory. The entries are
  // therefore gathered once, in order, into one array; sizes, index and
  // records then read that array front to back. At 88 bytes an entry it
  // runs to tens of megabytes, so it is made of huge pages. Both halves of
  // the order are gathered and written side by side.
  const bool anyForms = !document.forms.empty();
  const bool qtShape = document.qtRecords;
  // Each entry is first written (and its page first touched) by the half
  // that gathers it.
  std::vector<GatheredEntry, UninitializedLargeAllocator<GatheredEntry>> entries(order.size());
  const std::size_t half = order.size() / 2;
  // The sum of the record sizes of a range, or more than kMaxLength when a
  // record is too large.
  const auto gather = [&](std::size_t from, std::size_t to) {
    std::uint64_t length = 0;
    for (std::size_t i = from; i < to; ++i) {
      const std::int32_t index = order[i];
      GatheredEntry& entry = entries[i];
      entry.text = document.translations.view(index);
      entry.section = document.sectionTexts.view(index);
      entry.subsection = document.subsectionTexts.view(index);
      entry.hash = document.hashes[static_cast<std::size_t>(index)];
      entry.comment = document.comments.view(index);
      entry.index = index;
      entry.forms = anyForms ? document.forms.count(index) : 1;
      entry.absent = anyForms && entry.text.empty() && document.forms.absent(index, 0);
      entry.shapeMarks = anyForms ? document.forms.marks(index) & EntryForms::kShapeMarks : 0;
      ByteCounter counter;
      emitRecord(counter, document, entry, qtShape);
      const std::uint64_t size = counter.count();
      if (size > kMaxLength) return kMaxLength + 1;
      entry.size = static_cast<std::uint32_t>(size);
      length += size;
    }
    return length;
  };
  std::uint64_t firstHalfLength = 0;
  std::uint64_t secondHalfLength = 0;
  runSideBySide([&] { firstHalfLength = gather(0, half); },
                [&] { secondHalfLength = gather(half, order.size()); });
  const std::uint64_t messagesLength = firstHalfLength + secondHalfLength;
  const std::uint64_t indexLength = 8 * std::uint64_t{order.size()};
  if (indexLength > kMaxLength || messagesLength > kMaxLength || contextTable.size() > kMaxLength) {
    return std::nullopt;
  }
  const auto blockSize = [](std::span<const std::uint8_t> block) -> std::uint64_t {
    return block.empty() ? 0 : 5 + block.size();
  };
  for (const auto block : {qtBlocks.language, qtBlocks.dependencies, qtBlocks.numerusRules}) {
    if (block.size() > kMaxLength) return std::nullopt;
  }
  const std::uint64_t contextBlock = blockSize(contextTable);
  // Every byte is written below, so none is set beforehand.
  QmFileBytes file(static_cast<std::size_t>(kQmMinimumSize + indexLength + 5 + messagesLength +
                                            contextBlock + blockSize(qtBlocks.language) +
                                            blockSize(qtBlocks.dependencies) +
                                            blockSize(qtBlocks.numerusRules)));

  ByteWriter out(file.data());
  out.bytes(kQmMagic.data(), kQmMagic.size());
  out.block(kLanguageBlockTag, qtBlocks.language);
  out.block(kDependenciesBlockTag, qtBlocks.dependencies);
  out.byte(kIndexBlockTag);
  out.number(indexLength);
  std::uint8_t* const index = out.position();
  out.skip(indexLength);
  out.byte(kMessagesBlockTag);
  out.number(messagesLength);
  std::uint8_t* const messages = out.position();
  out.skip(messagesLength);

  // Writes the index entries and records of a range, its first record at
  // offset in the messages block.
  const auto write = [&](std::size_t from, std::size_t to, std::uint64_t offset) {
    ByteWriter indexOut(index + 8 * from);
    ByteWriter records(messages + offset);
    constexpr std::size_t kPrefetchDistance = 8;
    for (std::size_t i = from; i < to; ++i) {
      if (i + kPrefetchDistance < to) {
        const GatheredEntry& ahead = entries[i + kPrefetchDistance];
        __builtin_prefetch(ahead.text.data());
        __builtin_prefetch(ahead.section.data());
        __builtin_prefetch(ahead.subsection.data());
      }
      const GatheredEntry& entry = entries[i];
      indexOut.number(entry.hash);
      indexOut.number(offset);
      offset += entry.size;
      emitRecord(records, document, entry, qtShape);
    }
  };
  runSideBySide([&] { write(0, half, 0); }, [&] { write(half, order.size(), firstHalfLength); });

  out.block(kContextBlockTag, contextTable);
  out.block(kNumerusRulesBlockTag, qtBlocks.numerusRules);
  return file;
}

}  // namespace sorvane
