#pragma once

#include "qm/qm_format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The grammar of a QM file, walked once for every reader of it: the blocks
// and where each lies, and the items of one message record. The walker
// reads through a byte source and hands what it finds to its caller; it
// keeps nothing and shows nothing. The QM reader builds a document from
// it, the folder search tests a file with it.

namespace sorvane {

struct QmRange {
  std::uint64_t at = 0;
  std::uint64_t length = 0;
};

// Where a well-formed file's blocks lie (the data after each block's tag
// and length).
struct QmBlocks {
  // Qt's language and dependencies blocks: the first of each with data.
  std::optional<QmRange> language;
  std::optional<QmRange> dependencies;
  QmRange index;
  QmRange messages;
  std::optional<QmRange> context;
  std::optional<QmRange> numerusRules;
};

// Why the blocks are not those of a QM file.
enum class QmLayoutFault {
  none,
  tooSmall,         // smaller than a header, or the index block's length cut off
  invalidHeader,    // no magic number, a repeated Qt block, no index block
  onlyQtBlocks,     // Qt's blocks without messages (a file that names others)
  emptyIndex,       // an index block of length 0
  indexTooLong,     // an index block longer than the file
  endOfIndexTable,  // what follows the index is not the messages block
  wrongSize,        // the blocks don't end where the file does
  endOfAllStrings,  // what follows the messages block is no block of a QM file
  readFailed,       // the system failed a read
};

struct QmLayout {
  QmLayoutFault fault = QmLayoutFault::none;
  // For the two faults of unexpected data: where, and the byte found.
  std::uint64_t position = 0;
  std::uint8_t data = 0;
  // The file's first bytes, as far as there are any (for the reader's hint
  // on files of another kind).
  std::array<std::uint8_t, kQmMagic.size()> start{};
  std::size_t startLength = 0;
  // With QmLayoutFault::onlyQtBlocks too: the Qt blocks found.
  QmBlocks blocks;
};

// Reads the blocks through source: std::uint64_t size() and
// std::size_t read(std::uint64_t offset, void* buffer, std::size_t count),
// which returns the bytes read, fewer at the end of the file, and
// bool failed(), whether the system failed a read. A few bytes at the start
// of each block are read, whatever the file's size.
template <typename Source>
QmLayout walkQmBlocks(Source& source) {
  QmLayout layout;
  const std::uint64_t size = source.size();
  const auto fault = [&layout](QmLayoutFault why, std::uint64_t position = 0,
                               std::uint8_t data = 0) {
    layout.fault = why;
    layout.position = position;
    layout.data = data;
    return layout;
  };
  if (source.failed()) return fault(QmLayoutFault::readFailed);
  if (size < kQmMinimumSize) return fault(QmLayoutFault::tooSmall);
  layout.startLength = source.read(0, layout.start.data(), layout.start.size());
  if (layout.startLength < layout.start.size()) return fault(QmLayoutFault::readFailed);
  if (!std::equal(kQmMagic.begin(), kQmMagic.end(), layout.start.begin())) {
    return fault(QmLayoutFault::invalidHeader);
  }

  struct Head {
    bool present = false;   // the tag byte is there
    bool complete = false;  // and the length too
    std::uint8_t tag = 0;
    std::uint64_t length = 0;
    std::uint64_t end = 0;  // the position after the block
  };
  // False only when the system failed the read.
  const auto headAt = [&source, size](std::uint64_t position, Head& head) {
    std::uint8_t bytes[5] = {};
    const std::size_t wanted =
        position >= size ? 0
                         : static_cast<std::size_t>(std::min<std::uint64_t>(5, size - position));
    const std::size_t got = wanted == 0 ? 0 : source.read(position, bytes, wanted);
    if (got < wanted) return false;
    head.present = got > 0;
    head.complete = got == sizeof bytes;
    head.tag = bytes[0];
    head.length = head.complete ? readBigEndian32(bytes + 1) : 0;
    head.end = position + 5 + head.length;
    return true;
  };

  // Qt's language and dependencies blocks may stand before the index
  // block, each once; an empty one counts as none.
  std::uint64_t indexTagAt = kQmMagic.size();
  Head head;
  if (!headAt(indexTagAt, head)) return fault(QmLayoutFault::readFailed);
  while (head.present && (head.tag == kLanguageBlockTag || head.tag == kDependenciesBlockTag)) {
    std::optional<QmRange>& kept =
        head.tag == kLanguageBlockTag ? layout.blocks.language : layout.blocks.dependencies;
    if (kept || head.end > size) return fault(QmLayoutFault::invalidHeader);
    if (head.length > 0) kept = QmRange{indexTagAt + 5, head.length};
    indexTagAt = head.end;
    if (!headAt(indexTagAt, head)) return fault(QmLayoutFault::readFailed);
  }
  if (!head.present || head.tag != kIndexBlockTag) {
    // A file of Qt's that only names the files to load holds no messages:
    // its numerus rules, if any, end it.
    const bool onlyQt = indexTagAt > kQmMagic.size() &&
                        (!head.present || (head.tag == kNumerusRulesBlockTag && head.end == size));
    return fault(onlyQt ? QmLayoutFault::onlyQtBlocks : QmLayoutFault::invalidHeader);
  }
  if (!head.complete) return fault(QmLayoutFault::tooSmall);
  if (head.length == 0) return fault(QmLayoutFault::emptyIndex);
  layout.blocks.index = {indexTagAt + 5, head.length};
  if (size < layout.blocks.index.at + head.length) return fault(QmLayoutFault::indexTooLong);

  // The messages block. A file that ends right after the index block has
  // no tag to show; its data byte is given as 0x00.
  const std::uint64_t messagesTagAt = layout.blocks.index.at + head.length;
  if (!headAt(messagesTagAt, head)) return fault(QmLayoutFault::readFailed);
  if (!head.present || head.tag != kMessagesBlockTag) {
    return fault(QmLayoutFault::endOfIndexTable, messagesTagAt, head.present ? head.tag : 0);
  }
  if (!head.complete) return fault(QmLayoutFault::wrongSize);
  layout.blocks.messages = {messagesTagAt + 5, head.length};
  const std::uint64_t messagesEnd = head.end;

  // After the messages: the context block, Qt's numerus rules block, or
  // both in that order, each ending the file exactly where it must.
  if (size < messagesEnd) return fault(QmLayoutFault::wrongSize);
  if (size == messagesEnd) return layout;
  if (!headAt(messagesEnd, head)) return fault(QmLayoutFault::readFailed);
  std::uint64_t numerusAt = messagesEnd;
  if (head.tag == kContextBlockTag) {
    if (!head.complete) return fault(QmLayoutFault::wrongSize);
    layout.blocks.context = QmRange{messagesEnd + 5, head.length};
    if (size == head.end) return layout;
    if (size < head.end) return fault(QmLayoutFault::wrongSize);
    numerusAt = head.end;
    if (!headAt(numerusAt, head)) return fault(QmLayoutFault::readFailed);
    if (head.tag != kNumerusRulesBlockTag || head.end != size) {
      return fault(QmLayoutFault::wrongSize);
    }
  } else if (head.tag != kNumerusRulesBlockTag) {
    return fault(QmLayoutFault::endOfAllStrings, messagesEnd, head.tag);
  } else if (head.end != size) {
    return fault(QmLayoutFault::wrongSize);
  }
  layout.blocks.numerusRules = QmRange{numerusAt + 5, size - numerusAt - 5};
  return layout;
}

// What the reader names an unexpected byte after.
inline constexpr std::u16string_view kRecordBeginning =
    u"identifying beginning of the string record";
inline constexpr std::u16string_view kEndOfSection = u"on the end of the (Sub)Section";
inline constexpr std::u16string_view kEndOfString = u"on the end of the String";

// How a record ended.
struct QmRecordEnd {
  // The first text item (the source text, or a context alone), its tag,
  // and the second (the context), when the record has them.
  std::optional<QmRange> section;
  std::uint8_t sectionTag = 0;
  std::optional<QmRange> subsection;
  // The record is in Qt's shape: its end tag, or its texts without a
  // terminating zero before it.
  bool qtShape = false;
  // Where the record's items end for this program: after the subsection,
  // or after the end tag.
  std::uint64_t after = 0;
};

// Why a record is not one.
struct QmRecordFault {
  std::u16string_view what;  // the place named in the reader's message
  std::uint64_t at = 0;      // in the messages block
  std::uint8_t data = 0;
};

enum class QmRecordOutcome { complete, invalid, unreadable, stopped };

// Walks the record at offset of the messages block through source:
// std::uint64_t length() (the block's), std::optional<std::uint8_t>
// byte(std::uint64_t at) and std::optional<std::uint32_t> number(std::uint64_t at)
// (a big-endian number whose four bytes lie in the block); nothing from
// them means the system failed a read. The visitor is told of each item:
//   bool translation(std::size_t form, std::uint64_t at, std::uint32_t byteCount)
//     (byteCount is kAbsentTranslationLength for "no translation"; false stops),
//   void comment(std::uint64_t at, std::uint32_t length),
//   void end(const QmRecordEnd&).
// Lengths and offsets never reach beyond the block.
template <typename Source, typename Visitor>
QmRecordOutcome walkQmRecord(Source& source, std::uint64_t offset, Visitor& visitor,
                             QmRecordFault& fault) {
  const std::uint64_t length = source.length();
  const auto invalid = [&fault](std::u16string_view what, std::uint64_t at, std::uint8_t data) {
    fault = {what, at, data};
    return QmRecordOutcome::invalid;
  };
  if (offset >= length) return invalid(kRecordBeginning, offset, 0);
  std::uint64_t at = offset;
  std::optional<std::uint8_t> tag = source.byte(at);
  if (!tag) return QmRecordOutcome::unreadable;
  if (*tag != kTranslationTag) return invalid(kRecordBeginning, at, *tag);

  // One translation a form; Qt's plural messages carry several.
  for (std::size_t form = 0;; ++form) {
    const std::uint64_t tagAt = at++;
    const std::u16string_view what = form == 0 ? kRecordBeginning : kEndOfString;
    if (length - at < 4) return invalid(what, tagAt, kTranslationTag);
    const std::optional<std::uint32_t> byteCount = source.number(at);
    if (!byteCount) return QmRecordOutcome::unreadable;
    at += 4;
    const bool absent = *byteCount == kAbsentTranslationLength;
    if (!absent && *byteCount > length - at) return invalid(what, tagAt, kTranslationTag);
    if (!visitor.translation(form, at, *byteCount)) return QmRecordOutcome::stopped;
    if (!absent) at += *byteCount;
    if (at >= length) break;
    tag = source.byte(at);
    if (!tag) return QmRecordOutcome::unreadable;
    if (*tag != kTranslationTag) break;
  }

  QmRecordEnd end;
  const auto isEnd = [&end](std::uint8_t t) {
    if (t == kQtRecordEndTag) end.qtShape = true;
    return t == kRecordEndTag || t == kQtRecordEndTag;
  };
  // An 8-bit text item after its tag: its length and bytes; nothing when
  // they reach beyond the block.
  bool unreadable = false;
  const auto byteText = [&]() -> std::optional<QmRange> {
    if (length - at < 4) return std::nullopt;
    const std::optional<std::uint32_t> textLength = source.number(at);
    unreadable = !textLength;
    if (!textLength || *textLength > length - at - 4) return std::nullopt;
    at += 4;
    const QmRange range{at, *textLength};
    at += *textLength;
    return range;
  };
  while (true) {
    if (at >= length) return invalid(kEndOfString, at, 0);
    const std::uint64_t tagAt = at;
    tag = source.byte(at++);
    if (!tag) return QmRecordOutcome::unreadable;
    if (isEnd(*tag)) {
      end.after = at;
      visitor.end(end);
      return QmRecordOutcome::complete;
    }
    switch (*tag) {
      case kSectionTag:
      case kSubsectionTag: {
        end.sectionTag = *tag;
        end.section = byteText();
        if (unreadable) return QmRecordOutcome::unreadable;
        if (!end.section) return invalid(kEndOfString, tagAt, end.sectionTag);
        if (at >= length) return invalid(kEndOfSection, at, 0);
        const std::uint64_t nextAt = at;
        tag = source.byte(at++);
        if (!tag) return QmRecordOutcome::unreadable;
        if (isEnd(*tag)) {
          end.after = at;
          visitor.end(end);
          return QmRecordOutcome::complete;
        }
        if (*tag != kSubsectionTag) return invalid(kEndOfSection, nextAt, *tag);
        end.subsection = byteText();
        if (unreadable) return QmRecordOutcome::unreadable;
        if (!end.subsection) return invalid(kEndOfSection, nextAt, kSubsectionTag);
        // Nothing after the subsection is part of the record for this
        // program; Qt ends its records there with its end tag, and stores
        // its texts without a terminating zero (the plain shape's record
        // with an empty section ends with that tag too, after a zero).
        bool zeroEnded = false;
        if (end.subsection->length > 0) {
          const std::optional<std::uint8_t> last = source.byte(at - 1);
          if (!last) return QmRecordOutcome::unreadable;
          zeroEnded = *last == 0;
        }
        if (at < length && !zeroEnded) {
          const std::optional<std::uint8_t> next = source.byte(at);
          if (!next) return QmRecordOutcome::unreadable;
          if (*next == kQtRecordEndTag) end.qtShape = true;
        }
        end.after = at;
        visitor.end(end);
        return QmRecordOutcome::complete;
      }
      case kCommentTag: {
        const std::optional<QmRange> comment = byteText();
        if (unreadable) return QmRecordOutcome::unreadable;
        if (!comment) return invalid(kEndOfString, tagAt, kCommentTag);
        visitor.comment(comment->at, static_cast<std::uint32_t>(comment->length));
        break;
      }
      default:
        return invalid(kEndOfString, tagAt, *tag);
    }
  }
}

}  // namespace sorvane
