#include "qm/qm_reader.h"

#include "platform/dialog_services.h"
#include "platform/large_allocation.h"
#include "platform/message_format.h"
#include "platform/system_error.h"
#include "qm/comment_notice.h"
#include "qm/high_half_sort.h"
#include "qm/qm_format.h"
#include "qm/qm_walker.h"
#include "qm/read_errors.h"
#include "widetext/byte_stream.h"
#include "widetext/nul_unit.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace sorvane {

static_assert(std::endian::native == std::endian::little,
              "swapUtf16Units turns big-endian code units into host code units");

namespace {

constexpr std::u16string_view kEndOfIndexTable = u"on the end of index table";
constexpr std::u16string_view kEndOfAllStrings = u"on the end of all strings";

// Whether a file's first bytes are those of a Qt Linguist source file
// (.ts): XML, its document type or its root element.
bool looksLikeTsFile(std::span<const std::uint8_t> start) {
  const std::string_view text(reinterpret_cast<const char*>(start.data()), start.size());
  return text.starts_with("<?xml") || text.starts_with("<!DOCTYPE TS") || text.starts_with("<TS");
}

// The file's bytes for the walk of its blocks.
class StreamSource {
 public:
  StreamSource(ByteStream& stream, std::uint64_t size) : stream_(stream), size_(size) {}
  std::uint64_t size() const { return size_; }
  std::size_t read(std::uint64_t offset, void* buffer, std::size_t count) {
    stream_.seek(offset);
    return stream_.read(buffer, count);
  }
  bool failed() const { return stream_.error() != 0; }

 private:
  ByteStream& stream_;
  std::uint64_t size_;
};

// The messages block in memory, for the walk of its records.
struct MessagesSource {
  std::span<const std::uint8_t> bytes;
  std::uint64_t length() const { return bytes.size(); }
  std::optional<std::uint8_t> byte(std::uint64_t at) const { return bytes[at]; }
  std::optional<std::uint32_t> number(std::uint64_t at) const {
    return readBigEndian32(bytes.data() + at);
  }
};

std::string_view cutAtZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// Reads one QM file. Reads never go past the end of the file, and a record
// is read only inside the messages block: an offset or a length that
// reaches beyond it is reported as unexpected data, like a wrong tag.
class QmReader {
 public:
  QmReader(std::u16string_view fileName, QmDocument& document, const QmReadOptions& options,
           DialogServices& dialogs)
      : fileName_(fileName), document_(document), options_(options), dialogs_(dialogs) {}

  bool read();

 private:
  bool fail(std::u16string_view pattern) {
    if (!options_.quiet)
      dialogs_.showError(DialogOwner::mainWindow, formatMessage(pattern, {fileName_}));
    return false;
  }

  // A position past the end of the file (an offset that points nowhere) is
  // reported as the end of the file.
  bool unexpected(std::u16string_view what, std::uint64_t position, std::uint8_t data) {
    if (!options_.quiet) {
      reportUnexpectedData(dialogs_, what, fileName_, std::min(position, fileSize_), data);
    }
    return false;
  }

  // A read that came back short: the file shrank while it was read, or the
  // system reported an error.
  bool failShortRead() {
    if (stream_.error() != 0) {
      if (!options_.quiet) reportOpenError(dialogs_, fileName_, stream_.error());
      return false;
    }
    return fail(u"Wrong size of file \"%s\"");
  }

  // A file of only Qt's blocks: the zero-size text, and the files it names.
  bool failNoMessages();

  bool readBytes(std::uint64_t position, void* buffer, std::size_t count) {
    stream_.seek(position);
    return stream_.read(buffer, count) == count;
  }

  // Reports a layout the walk found wrong.
  bool failLayout(const QmLayout& layout);
  bool readRange(const std::optional<QmRange>& range, std::vector<std::uint8_t>& kept) {
    kept.resize(range ? static_cast<std::size_t>(range->length) : 0);
    return kept.empty() || readBytes(range->at, kept.data(), kept.size());
  }

  bool readRecords();
  bool readRecord(std::size_t entry);

  // The walk's items of the record being read. A translation's text is
  // placed in the text block where it can be, and copied out otherwise.
 public:
  bool translation(std::size_t form, std::uint64_t at, std::uint32_t byteCount);
  void comment(std::uint64_t at, std::uint32_t length);
  void end(const QmRecordEnd& end);

 private:
  std::u16string_view copiedText(std::size_t at, std::size_t byteCount);
  std::string_view byteText(const QmRange& range) const {
    return cutAtZero(std::string_view(reinterpret_cast<const char*>(messages_.data() + range.at),
                                      static_cast<std::size_t>(range.length)));
  }
  // Reads the index block, then the messages block straight into a block of
  // the document's translations, where each text is turned into host order
  // and moved down behind the one before (see placeText). A file whose
  // records don't come in ascending order is read into the reader's buffer.
  bool readBlocksInPlace(std::uint64_t indexStart, std::size_t messagesLength);
  // Places the text of units code units at messages position at in the text
  // block, when that overwrites nothing still to be read.
  bool placeText(std::size_t at, std::size_t units, std::u16string_view& text);
  std::uint32_t offsetOf(std::size_t entry) const {
    return readBigEndian32(index_.data() + 8 * entry + 4);
  }
  // The entry read before this one from the same record, or -1.
  std::int64_t earlierEntryWithRecord(std::size_t entry);
  void addSharedEntry(std::size_t earlier);
  // Takes a comment from the items after the subsection, as far as they
  // are well formed, for an entry that has none yet.
  void keepCommentAfter(std::size_t at, std::int32_t documentEntry);

  std::u16string_view fileName_;
  QmDocument& document_;
  const QmReadOptions& options_;
  DialogServices& dialogs_;
  ByteStream stream_;

  std::uint64_t fileSize_ = 0;
  std::uint64_t indexLength_ = 0;    // L1
  std::uint64_t messagesStart_ = 0;  // file offset of the first messages byte
  // The index and messages blocks, read in one piece into the caller's
  // buffer or the reader's own.
  QmReadBuffer ownBuffer_;
  std::span<const std::uint8_t> index_;
  std::span<const std::uint8_t> messages_;
  std::vector<char16_t> scratch_;  // one translation, swapped to host order
  // The document's block the messages were read into, or null; the code
  // units at its start that hold placed texts; the position of the next
  // record that starts after the one being read.
  char16_t* textBlock_ = nullptr;
  std::size_t keptUnits_ = 0;
  std::size_t nextRecordAt_ = 0;
  // The record being read: its entry in the document, its marks, and its
  // plural forms after the first.
  std::int32_t recordEntry_ = 0;
  unsigned recordMarks_ = 0;
  std::vector<std::pair<std::u16string, bool>> moreForms_;

  // Entries may share a record; their texts are then shared, not copied, so
  // that a small file can't claim memory without bound. Records usually
  // come in ascending order, so the map from record offset to the first
  // entry is built only once an offset repeats or goes back.
  bool commentSeen_ = false;
  std::int64_t highestOffset_ = -1;
  bool offsetsMapped_ = false;
  // Once mapped: for every entry the first one with its record, or -1.
  std::vector<std::int32_t> earlierEntry_;
  std::int32_t translationsBase_ = 0;
  std::int32_t sectionTextsBase_ = 0;
  std::int32_t subsectionTextsBase_ = 0;
};

bool QmReader::read() {
  stream_ = ByteStream::openForReading(fileName_);
  if (!stream_.isOpen()) {
    if (!options_.quiet) reportOpenError(dialogs_, fileName_, stream_.error());
    return false;
  }
  const std::uint64_t size = stream_.size();
  if (stream_.error() != 0) {
    if (!options_.quiet) reportOpenError(dialogs_, fileName_, stream_.error());
    return false;
  }
  fileSize_ = size;
  StreamSource source(stream_, size);
  const QmLayout layout = walkQmBlocks(source);
  if (layout.fault != QmLayoutFault::none) return failLayout(layout);
  const QmBlocks& blocks = layout.blocks;
  if (!readRange(blocks.language, document_.languageBlock) ||
      !readRange(blocks.dependencies, document_.dependenciesBlock) ||
      !readRange(blocks.numerusRules, document_.numerusRulesBlock)) {
    return failShortRead();
  }
  indexLength_ = blocks.index.length;
  const std::uint64_t indexStart = blocks.index.at;
  const std::uint64_t messagesLength = blocks.messages.length;
  messagesStart_ = blocks.messages.at;
  const std::uint64_t messagesEnd = messagesStart_ + messagesLength;

  if (options_.buffer == nullptr) {
    if (!readBlocksInPlace(indexStart, static_cast<std::size_t>(messagesLength))) return false;
  } else {
    QmReadBuffer& buffer = *options_.buffer;
    const auto blocksLength = static_cast<std::size_t>(messagesEnd - indexStart);
    buffer.bytes.resize(blocksLength);
    if (!readBytes(indexStart, buffer.bytes.data(), blocksLength)) return failShortRead();
    index_ = std::span(buffer.bytes).first(static_cast<std::size_t>(indexLength_));
    messages_ =
        std::span(buffer.bytes).subspan(static_cast<std::size_t>(messagesStart_ - indexStart));
  }
  if (!readRecords()) return false;
  if (textBlock_ != nullptr) document_.translations.trimOwnedBlock(textBlock_, keptUnits_);

  if (options_.keepContextTable) {
    std::vector<std::uint8_t> context;
    if (!readRange(blocks.context, context)) return failShortRead();
    document_.contextTable = std::move(context);
  }
  // Comments are part of Qt's record shape (its disambiguations). In a
  // file of another shape they are not expected, so the user is asked to
  // tell about it, once the file has been read.
  if (commentSeen_ && !document_.qtRecords) showCommentNotice(dialogs_);
  return true;
}

bool QmReader::failLayout(const QmLayout& layout) {
  switch (layout.fault) {
    case QmLayoutFault::none:
      return true;
    case QmLayoutFault::readFailed:
      return failShortRead();
    case QmLayoutFault::tooSmall:
      return fail(u"File \"%s\" is too small");
    case QmLayoutFault::invalidHeader:
      if (!options_.quiet && looksLikeTsFile(std::span(layout.start).first(layout.startLength))) {
        dialogs_.showError(
            DialogOwner::mainWindow,
            formatMessage(u"Invalid header in \"%s\"", {fileName_}) +
                u"\r\nThis is a Qt Linguist source file; Sorvane opens compiled .qm files (make "
                u"one with lrelease).");
        return false;
      }
      return fail(u"Invalid header in \"%s\"");
    case QmLayoutFault::onlyQtBlocks:
      if (!readRange(layout.blocks.dependencies, document_.dependenciesBlock)) {
        return failShortRead();
      }
      return failNoMessages();
    case QmLayoutFault::emptyIndex:
      return fail(u"Index table has zero size.\r\nNothing to translate in \"%s\"");
    case QmLayoutFault::indexTooLong:
      return fail(u"File \"%s\" is too small.");
    case QmLayoutFault::endOfIndexTable:
      return unexpected(kEndOfIndexTable, layout.position, layout.data);
    case QmLayoutFault::wrongSize:
      return fail(u"Wrong size of file \"%s\"");
    case QmLayoutFault::endOfAllStrings:
      return unexpected(kEndOfAllStrings, layout.position, layout.data);
  }
  return false;
}

bool QmReader::readBlocksInPlace(std::uint64_t indexStart, std::size_t messagesLength) {
  ownBuffer_.bytes.resize(static_cast<std::size_t>(indexLength_));
  if (!readBytes(indexStart, ownBuffer_.bytes.data(), ownBuffer_.bytes.size())) {
    return failShortRead();
  }
  index_ = std::span(ownBuffer_.bytes);
  const std::size_t entries = index_.size() / 8;
  bool ascending = true;
  for (std::size_t i = 1; i < entries && ascending; ++i) ascending = offsetOf(i - 1) <= offsetOf(i);
  if (!ascending || messagesLength == 0) {
    // Records that come back to earlier bytes need those bytes as they were.
    ownBuffer_.bytes.resize(index_.size() + messagesLength);
    index_ = std::span(ownBuffer_.bytes).first(index_.size());
    messages_ = std::span(ownBuffer_.bytes).subspan(index_.size());
  } else {
    textBlock_ = document_.translations.ownBlock((messagesLength + 1) / 2);
    messages_ = std::span(reinterpret_cast<const std::uint8_t*>(textBlock_), messagesLength);
  }
  if (!readBytes(messagesStart_, const_cast<std::uint8_t*>(messages_.data()), messagesLength)) {
    return failShortRead();
  }
  return true;
}

bool QmReader::placeText(std::size_t at, std::size_t units, std::u16string_view& text) {
  // The text moves down to the end of the texts placed before it, never
  // over bytes that a later record may still read.
  if (textBlock_ == nullptr || 2 * keptUnits_ > at || at + 2 * units > nextRecordAt_) {
    return false;
  }
  char16_t* target = textBlock_ + keptUnits_;
  std::memmove(target, messages_.data() + at, 2 * units);
  swapUtf16Units(target, 2 * units);
  text = std::u16string_view(target, units);
  return true;
}

bool QmReader::failNoMessages() {
  if (options_.quiet) return false;
  std::u16string text =
      formatMessage(u"Index table has zero size.\r\nNothing to translate in \"%s\"", {fileName_});
  const std::vector<std::u16string> names = dependencyNames(document_.dependenciesBlock);
  if (!names.empty()) {
    text += u"\r\nIt names the files that hold the messages:";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i == 0 ? u" " : u", ") + names[i];
  }
  dialogs_.showError(DialogOwner::mainWindow, text);
  return false;
}

bool QmReader::readRecords() {
  const std::size_t entries = static_cast<std::size_t>(indexLength_ / 8);
  // Two entries may share a record, so the entry count is not bounded by the
  // messages block; the reservation is, so that a lying file can't make it
  // large.
  const auto expected =
      static_cast<std::int32_t>(std::min<std::size_t>(entries, messages_.size() / 8 + 1));
  document_.translations.reserve(document_.translations.count() + expected);
  const bool allLists = options_.lists == QmLists::all;
  if (allLists) {
    document_.sectionTexts.reserve(document_.sectionTexts.count() + expected);
    document_.subsectionTexts.reserve(document_.subsectionTexts.count() + expected);
    document_.hashes.reserve(document_.hashes.size() + static_cast<std::size_t>(expected));
  }
  translationsBase_ = document_.translations.count();
  sectionTextsBase_ = document_.sectionTexts.count();
  subsectionTextsBase_ = document_.subsectionTexts.count();
  // Entries come in the index's order, which in Qt's files is their hashes'
  // and not their records': each record is a jump through the messages
  // block, so the start of the record a few entries on is fetched while
  // this one is read.
  constexpr std::size_t kAhead = 16;
  constexpr std::size_t kCacheLine = 64;
  constexpr std::size_t kLinesFetched = 3;
  std::size_t next = 0;  // the first entry whose record starts further on
  for (std::size_t entry = 0; entry < entries; ++entry) {
    if (entry + kAhead < entries) {
      const std::size_t ahead = offsetOf(entry + kAhead);
      for (std::size_t line = 0; line < kLinesFetched; ++line) {
        if (ahead + line * kCacheLine < messages_.size()) {
          prefetchMemory(messages_.data() + ahead + line * kCacheLine);
        }
      }
    }
    if (allLists) document_.hashes.push_back(readBigEndian32(index_.data() + 8 * entry));
    if (const std::int64_t earlier = earlierEntryWithRecord(entry); earlier >= 0) {
      addSharedEntry(static_cast<std::size_t>(earlier));
      continue;
    }
    if (textBlock_ != nullptr) {
      next = std::max(next, entry + 1);
      while (next < entries && offsetOf(next) <= offsetOf(entry)) ++next;
      nextRecordAt_ = next < entries ? offsetOf(next) : messages_.size();
    }
    if (!readRecord(entry)) return false;
  }
  return true;
}

std::int64_t QmReader::earlierEntryWithRecord(std::size_t entry) {
  if (offsetsMapped_) return earlierEntry_[entry];
  // Records usually come in ascending order: no entry before has the record.
  const std::uint32_t offset = offsetOf(entry);
  if (static_cast<std::int64_t>(offset) > highestOffset_) {
    highestOffset_ = offset;
    return -1;
  }
  if (!offsetsMapped_) {
    // Every entry's record at once: sorted by offset, an entry shares the
    // record of the first entry with its offset.
    offsetsMapped_ = true;
    const std::size_t entries = index_.size() / 8;
    std::vector<std::uint64_t> byOffset(entries);
    for (std::size_t i = 0; i < entries; ++i) {
      byOffset[i] = (std::uint64_t{offsetOf(i)} << 32) | i;
    }
    // Entries of one offset stay in the index's order.
    sortByHighHalf(byOffset);
    earlierEntry_.assign(entries, -1);
    for (std::size_t i = 1; i < entries; ++i) {
      if ((byOffset[i] >> 32) != (byOffset[i - 1] >> 32)) continue;
      const auto first = static_cast<std::uint32_t>(byOffset[i - 1]);
      const std::int32_t firstOfGroup =
          earlierEntry_[first] >= 0 ? earlierEntry_[first] : static_cast<std::int32_t>(first);
      earlierEntry_[static_cast<std::uint32_t>(byOffset[i])] = firstOfGroup;
    }
  }
  return earlierEntry_[entry];
}

void QmReader::addSharedEntry(std::size_t earlier) {
  const std::int32_t from = translationsBase_ + static_cast<std::int32_t>(earlier);
  const std::int32_t to = document_.translations.count();
  document_.translations.addCopyOf(from);
  document_.forms.addCopyOf(from, to);
  if (options_.lists == QmLists::all) {
    const std::int32_t sectionFrom = sectionTextsBase_ + static_cast<std::int32_t>(earlier);
    document_.sectionTexts.addCopyOf(sectionFrom);
    document_.subsectionTexts.addCopyOf(subsectionTextsBase_ + static_cast<std::int32_t>(earlier));
    if (!document_.comments.view(from).empty()) {
      if (document_.comments.count() < to) document_.comments.set(to - 1, {});
      document_.comments.addCopyOf(from);
    }
  }
}

void QmReader::keepCommentAfter(std::size_t at, std::int32_t documentEntry) {
  // Qt reads a record on to its end tag, and a comment there names the
  // message as one before the section does. Anything Qt would not read
  // ends the look.
  if (options_.lists != QmLists::all || !document_.comments.view(documentEntry).empty()) return;
  const std::size_t end = messages_.size();
  while (at < end) {
    const std::uint8_t tag = messages_[at++];
    if (tag == kQtRecordEndTag) return;
    if (end - at < 4) return;
    if (tag == kRecordEndTag) {
      at += 4;  // Qt's obsolete item: the hash
      continue;
    }
    if (tag != kSectionTag && tag != kSubsectionTag && tag != kCommentTag) return;
    const std::uint32_t length = readBigEndian32(messages_.data() + at);
    at += 4;
    if (length > end - at) return;
    if (tag == kCommentTag) {
      std::string_view comment(reinterpret_cast<const char*>(messages_.data() + at), length);
      comment = comment.substr(0, comment.find('\0'));
      if (!comment.empty()) {
        document_.comments.set(documentEntry, comment);
        return;
      }
    }
    at += length;
  }
}

std::u16string_view QmReader::copiedText(std::size_t at, std::size_t byteCount) {
  // An odd byte count leaves its last byte out of the text.
  const std::size_t units = byteCount / 2;
  if (scratch_.size() < units + 2) scratch_.resize(units + 2);
  std::memcpy(scratch_.data(), messages_.data() + at, byteCount);
  swapUtf16Units(scratch_.data(), byteCount);
  return {scratch_.data(), units};
}

bool QmReader::translation(std::size_t form, std::uint64_t at, std::uint32_t byteCount) {
  const bool absent = byteCount == kAbsentTranslationLength;
  const auto position = static_cast<std::size_t>(at);
  if (form > 0) {
    // Qt's plural messages carry one translation a form, one after the other.
    moreForms_.emplace_back(absent ? std::u16string_view() : copiedText(position, byteCount),
                            absent);
    return true;
  }
  recordEntry_ = document_.translations.count();
  recordMarks_ = absent ? EntryForms::kFirstAbsent : 0;
  moreForms_.clear();
  std::u16string_view text;
  if (!absent && placeText(position, byteCount / 2, text)) {
    text = text.substr(0, std::min(text.size(), firstNulUnit(text)));
    document_.translations.addView(text);
    keptUnits_ += text.size();
  } else {
    document_.translations.add(absent ? std::u16string_view() : copiedText(position, byteCount));
  }
  return true;
}

void QmReader::comment(std::uint64_t at, std::uint32_t length) {
  const std::string_view text = byteText({at, length});
  if (text.empty()) return;
  if (options_.lists == QmLists::all && document_.comments.view(recordEntry_).empty()) {
    document_.comments.set(recordEntry_, text);
  }
  commentSeen_ = true;
}

void QmReader::end(const QmRecordEnd& end) {
  if (end.qtShape) document_.qtRecords = true;
  const std::string_view section = end.section ? byteText(*end.section) : std::string_view();
  const std::string_view subsection =
      end.subsection ? byteText(*end.subsection) : std::string_view();
  if (options_.lists == QmLists::all) {
    document_.sectionTexts.addReusing(section);
    document_.subsectionTexts.addReusing(subsection);
  }
  if (end.section && !end.subsection) {
    // A lone source text, or an empty context, says more than the section
    // text does.
    if (end.sectionTag == kSectionTag) recordMarks_ |= EntryForms::kSourceOnly;
    if (end.sectionTag == kSubsectionTag && section.empty()) {
      recordMarks_ |= EntryForms::kContextOnly;
    }
  }
  if (end.subsection) {
    if (end.sectionTag == kSectionTag && subsection.empty()) {
      recordMarks_ |= EntryForms::kSourceAndContext;
    }
    if (end.sectionTag == kSubsectionTag) recordMarks_ |= EntryForms::kContextTwice;
    keepCommentAfter(static_cast<std::size_t>(end.after), recordEntry_);
  }
  if (recordMarks_ == 0 && moreForms_.empty()) return;
  std::vector<EntryForms::Form> forms;
  forms.reserve(moreForms_.size());
  for (const auto& [formText, absent] : moreForms_) forms.push_back({formText, absent});
  document_.forms.set(recordEntry_, recordMarks_, forms);
}

bool QmReader::readRecord(std::size_t entry) {
  MessagesSource source{messages_};
  QmRecordFault fault;
  if (walkQmRecord(source, offsetOf(entry), *this, fault) == QmRecordOutcome::complete) return true;
  return unexpected(fault.what, messagesStart_ + fault.at, fault.data);
}

}  // namespace

bool readQmFile(std::u16string_view fileName, QmDocument& document, const QmReadOptions& options,
                DialogServices& dialogs) {
  try {
    QmReader reader(fileName, document, options, dialogs);
    return reader.read();
  } catch (const std::bad_alloc&) {
    if (!options.quiet) reportOutOfMemory(dialogs, fileName);
    return false;
  } catch (const std::length_error&) {
    // A size beyond what a container can hold.
    if (!options.quiet) reportOutOfMemory(dialogs, fileName);
    return false;
  }
}

}  // namespace sorvane
