#include "qm/qm_reader.h"

#include "platform/dialog_services.h"
#include "platform/large_allocation.h"
#include "platform/message_format.h"
#include "platform/system_error.h"
#include "qm/comment_notice.h"
#include "qm/qm_format.h"
#include "qm/read_errors.h"
#include "widetext/byte_stream.h"

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
constexpr std::u16string_view kRecordBeginning = u"identifying beginning of the string record";
constexpr std::u16string_view kEndOfSection = u"on the end of the (Sub)Section";
constexpr std::u16string_view kEndOfString = u"on the end of the String";

// Whether a file's first bytes are those of a Qt Linguist source file
// (.ts): XML, its document type or its root element.
bool looksLikeTsFile(std::span<const std::uint8_t> start) {
  const std::string_view text(reinterpret_cast<const char*>(start.data()), start.size());
  return text.starts_with("<?xml") || text.starts_with("<!DOCTYPE TS") || text.starts_with("<TS");
}

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

  // A block's tag and length at a file position.
  struct BlockHead {
    bool present = false;   // the tag byte is there
    bool complete = false;  // and the length too
    std::uint8_t tag = 0;
    std::uint64_t length = 0;
    std::uint64_t end = 0;  // the position after the block
  };
  // False only when the system failed the read.
  bool readBlockHead(std::uint64_t position, BlockHead& head) {
    std::uint8_t bytes[5] = {};
    stream_.seek(position);
    const std::size_t got = stream_.read(bytes, sizeof bytes);
    if (got < sizeof bytes && stream_.error() != 0) return false;
    head.present = got > 0;
    head.complete = got == sizeof bytes;
    head.tag = bytes[0];
    head.length = head.complete ? readBigEndian32(bytes + 1) : 0;
    head.end = position + 5 + head.length;
    return true;
  }

  // A file of only Qt's blocks: the zero-size text, and the files it names.
  bool failNoMessages();

  bool readBytes(std::uint64_t position, void* buffer, std::size_t count) {
    stream_.seek(position);
    return stream_.read(buffer, count) == count;
  }

  bool readRecords();
  bool readRecord(std::size_t entry);
  // Reads a translation's length and text after its tag at tagAt; a length
  // of 0xFFFFFFFF is "no translation" (absent, empty). With placed, the text
  // may be placed in the text block (placed is then set) instead of being
  // copied out.
  bool readTranslation(std::size_t tagAt, std::size_t& at, std::u16string_view what,
                       std::u16string_view& text, bool& absent, bool* placed = nullptr);
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
  // Reads an 8-bit text item whose tag is at tagAt; its length field and
  // bytes must lie inside the messages block.
  bool readByteText(std::size_t tagAt, std::size_t& at, std::u16string_view what,
                    std::string_view& text);

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
  // A record's plural forms after the first, while it is read.
  std::vector<std::pair<std::u16string, bool>> moreForms_;

  // Entries may share a record; their texts are then shared, not copied, so
  // that a small file can't claim memory without bound. Records usually
  // come in ascending order, so the map from record offset to the first
  // entry is built only once an offset repeats or goes back.
  bool commentSeen_ = false;
  std::int64_t highestOffset_ = -1;
  bool offsetsMapped_ = false;
  std::unordered_map<std::uint32_t, std::size_t> firstEntryAt_;
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
  if (size < kQmMinimumSize) return fail(u"File \"%s\" is too small");

  std::uint8_t magic[kQmMagic.size()];
  if (!readBytes(0, magic, sizeof magic)) return failShortRead();
  if (!std::equal(kQmMagic.begin(), kQmMagic.end(), magic)) {
    if (!options_.quiet && looksLikeTsFile(magic)) {
      dialogs_.showError(
          DialogOwner::mainWindow,
          formatMessage(u"Invalid header in \"%s\"", {fileName_}) +
              u"\r\nThis is a Qt Linguist source file; Sorvane opens compiled .qm files (make one "
              u"with lrelease).");
      return false;
    }
    return fail(u"Invalid header in \"%s\"");
  }
  // Qt's language and dependencies blocks may stand before the index block.
  std::uint64_t indexTagAt = kQmMagic.size();
  BlockHead block;
  if (!readBlockHead(indexTagAt, block)) return failShortRead();
  while (block.present && (block.tag == kLanguageBlockTag || block.tag == kDependenciesBlockTag)) {
    std::vector<std::uint8_t>& kept =
        block.tag == kLanguageBlockTag ? document_.languageBlock : document_.dependenciesBlock;
    if (!kept.empty() || block.end > size) return fail(u"Invalid header in \"%s\"");
    kept.resize(static_cast<std::size_t>(block.length));
    if (!readBytes(indexTagAt + 5, kept.data(), kept.size())) return failShortRead();
    indexTagAt = block.end;
    if (!readBlockHead(indexTagAt, block)) return failShortRead();
  }
  if (!block.present || block.tag != kIndexBlockTag) {
    // A file of Qt's that only names the files to load instead holds no
    // messages: its numerus rules, if any, end it.
    const bool onlyQtBlocks =
        indexTagAt > kQmMagic.size() &&
        (!block.present || (block.tag == kNumerusRulesBlockTag && block.end == size));
    if (onlyQtBlocks) return failNoMessages();
    return fail(u"Invalid header in \"%s\"");
  }
  if (!block.complete) return fail(u"File \"%s\" is too small");
  indexLength_ = block.length;
  if (indexLength_ == 0)
    return fail(u"Index table has zero size.\r\nNothing to translate in \"%s\"");
  const std::uint64_t indexStart = indexTagAt + 5;
  if (size < indexLength_ + indexStart) return fail(u"File \"%s\" is too small.");

  // The messages block tag and length. A file that ends right after the
  // index block has no tag to show; its data byte is given as 0x00.
  const std::uint64_t messagesTagAt = indexStart + indexLength_;
  std::uint8_t messagesHead[5] = {};
  stream_.seek(messagesTagAt);
  const std::size_t gotHead = stream_.read(messagesHead, sizeof messagesHead);
  if (gotHead == 0 && stream_.error() != 0) return failShortRead();
  if (gotHead == 0 || messagesHead[0] != kMessagesBlockTag) {
    return unexpected(kEndOfIndexTable, messagesTagAt, messagesHead[0]);
  }
  if (gotHead < sizeof messagesHead) return failShortRead();
  const std::uint64_t messagesLength = readBigEndian32(messagesHead + 1);
  messagesStart_ = messagesTagAt + sizeof messagesHead;
  const std::uint64_t messagesEnd = messagesStart_ + messagesLength;

  // After the messages: the context block, Qt's numerus rules block, or
  // both in that order, each ending the file exactly where it must.
  bool hasContextBlock = false;
  std::uint64_t contextLength = 0;
  std::uint64_t numerusAt = 0;
  if (size > messagesEnd) {
    if (!readBlockHead(messagesEnd, block) || !block.present) return failShortRead();
    if (block.tag == kContextBlockTag) {
      if (!block.complete) return fail(u"Wrong size of file \"%s\"");
      hasContextBlock = true;
      contextLength = block.length;
      if (size != block.end) {
        BlockHead numerus;
        if (size < block.end || !readBlockHead(block.end, numerus) ||
            numerus.tag != kNumerusRulesBlockTag || numerus.end != size) {
          return fail(u"Wrong size of file \"%s\"");
        }
        numerusAt = block.end;
      }
    } else if (block.tag == kNumerusRulesBlockTag) {
      if (block.end != size) return fail(u"Wrong size of file \"%s\"");
      numerusAt = messagesEnd;
    } else {
      return unexpected(kEndOfAllStrings, messagesEnd, block.tag);
    }
  } else if (size != messagesEnd) {
    return fail(u"Wrong size of file \"%s\"");
  }
  if (numerusAt != 0) {
    document_.numerusRulesBlock.resize(static_cast<std::size_t>(size - numerusAt - 5));
    if (!readBytes(numerusAt + 5, document_.numerusRulesBlock.data(),
                   document_.numerusRulesBlock.size())) {
      return failShortRead();
    }
  }

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
    std::vector<std::uint8_t> context(static_cast<std::size_t>(contextLength));
    if (hasContextBlock && !readBytes(messagesEnd + 5, context.data(), context.size())) {
      return failShortRead();
    }
    document_.contextTable = std::move(context);
  }
  // Comments are part of Qt's record shape (its disambiguations). In a
  // file of another shape they are not expected, so the user is asked to
  // tell about it, once the file has been read.
  if (commentSeen_ && !document_.qtRecords) showCommentNotice(dialogs_);
  return true;
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
  std::size_t next = 0;  // the first entry whose record starts further on
  for (std::size_t entry = 0; entry < entries; ++entry) {
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
  const std::uint32_t offset = offsetOf(entry);
  if (static_cast<std::int64_t>(offset) > highestOffset_) {
    highestOffset_ = offset;
    if (offsetsMapped_) firstEntryAt_.emplace(offset, entry);
    return -1;
  }
  if (!offsetsMapped_) {
    offsetsMapped_ = true;
    for (std::size_t i = 0; i < entry; ++i) firstEntryAt_.emplace(offsetOf(i), i);
  }
  const auto [at, isNew] = firstEntryAt_.emplace(offset, entry);
  return isNew ? -1 : static_cast<std::int64_t>(at->second);
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

bool QmReader::readByteText(std::size_t tagAt, std::size_t& at, std::u16string_view what,
                            std::string_view& text) {
  const std::size_t blockLength = messages_.size();
  if (blockLength - at < 4) return unexpected(what, messagesStart_ + tagAt, messages_[tagAt]);
  const std::uint32_t length = readBigEndian32(messages_.data() + at);
  at += 4;
  if (length > blockLength - at) return unexpected(what, messagesStart_ + tagAt, messages_[tagAt]);
  const auto* bytes = reinterpret_cast<const char*>(messages_.data() + at);
  text = std::string_view(bytes, length);
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  at += length;
  return true;
}

bool QmReader::readTranslation(std::size_t tagAt, std::size_t& at, std::u16string_view what,
                               std::u16string_view& text, bool& absent, bool* placed) {
  const std::size_t blockLength = messages_.size();
  if (blockLength - at < 4) return unexpected(what, messagesStart_ + tagAt, kTranslationTag);
  const std::uint32_t byteCount = readBigEndian32(messages_.data() + at);
  at += 4;
  absent = byteCount == kAbsentTranslationLength;
  if (absent) {
    text = {};
    return true;
  }
  if (byteCount > blockLength - at)
    return unexpected(what, messagesStart_ + tagAt, kTranslationTag);
  // An odd byte count leaves its last byte out of the text.
  const std::size_t units = byteCount / 2;
  if (placed != nullptr && placeText(at, units, text)) {
    *placed = true;
    at += byteCount;
    return true;
  }
  if (scratch_.size() < units + 2) scratch_.resize(units + 2);
  std::memcpy(scratch_.data(), messages_.data() + at, byteCount);
  swapUtf16Units(scratch_.data(), byteCount);
  text = std::u16string_view(scratch_.data(), units);
  at += byteCount;
  return true;
}

bool QmReader::readRecord(std::size_t entry) {
  const std::size_t blockLength = messages_.size();
  const std::uint32_t offset = readBigEndian32(index_.data() + 8 * entry + 4);
  if (offset >= blockLength) return unexpected(kRecordBeginning, messagesStart_ + offset, 0);
  std::size_t at = offset;
  if (messages_[at] != kTranslationTag) {
    return unexpected(kRecordBeginning, messagesStart_ + at, messages_[at]);
  }
  ++at;
  std::u16string_view text;
  bool firstAbsent = false;
  bool placed = false;
  if (!readTranslation(offset, at, kRecordBeginning, text, firstAbsent, &placed)) return false;
  const std::int32_t documentEntry = document_.translations.count();
  if (placed) {
    text = text.substr(0, std::min(text.size(), text.find(u'\0')));
    document_.translations.addView(text);
    keptUnits_ += text.size();
  } else {
    document_.translations.add(text);
  }

  // Qt's plural messages carry one translation a form, one after the other.
  moreForms_.clear();
  while (at < blockLength && messages_[at] == kTranslationTag) {
    const std::size_t tagAt = at++;
    bool absent = false;
    if (!readTranslation(tagAt, at, kEndOfString, text, absent)) return false;
    moreForms_.emplace_back(text, absent);
  }
  unsigned marks = firstAbsent ? EntryForms::kFirstAbsent : 0;
  // Kept once the record has been read.
  const auto keepForms = [&] {
    if (marks == 0 && moreForms_.empty()) return;
    std::vector<EntryForms::Form> forms;
    forms.reserve(moreForms_.size());
    for (const auto& [formText, absent] : moreForms_) forms.push_back({formText, absent});
    document_.forms.set(documentEntry, marks, forms);
  };

  const bool allLists = options_.lists == QmLists::all;
  const auto isRecordEnd = [this](std::uint8_t tag) {
    if (tag == kQtRecordEndTag) document_.qtRecords = true;
    return tag == kRecordEndTag || tag == kQtRecordEndTag;
  };
  while (true) {
    if (at >= blockLength) return unexpected(kEndOfString, messagesStart_ + at, 0);
    const std::size_t tagAt = at;
    const std::uint8_t tag = messages_[at++];
    if (isRecordEnd(tag)) {
      if (allLists) {
        document_.sectionTexts.add({});
        document_.subsectionTexts.add({});
      }
      keepForms();
      return true;
    }
    switch (tag) {
      case kSectionTag:
      case kSubsectionTag: {
        std::string_view section;
        if (!readByteText(tagAt, at, kEndOfString, section)) return false;
        if (allLists) document_.sectionTexts.addReusing(section);
        if (at >= blockLength) return unexpected(kEndOfSection, messagesStart_ + at, 0);
        const std::size_t nextAt = at;
        const std::uint8_t next = messages_[at++];
        if (isRecordEnd(next)) {
          if (allLists) document_.subsectionTexts.add({});
          // A lone source text, or an empty context, says more than the
          // section text does.
          if (tag == kSectionTag) marks |= EntryForms::kSourceOnly;
          if (tag == kSubsectionTag && section.empty()) marks |= EntryForms::kContextOnly;
          keepForms();
          return true;
        }
        if (next != kSubsectionTag) return unexpected(kEndOfSection, messagesStart_ + nextAt, next);
        std::string_view subsection;
        if (!readByteText(nextAt, at, kEndOfSection, subsection)) return false;
        if (allLists) document_.subsectionTexts.addReusing(subsection);
        // Nothing after the subsection is part of the record for this
        // program; Qt ends its records there with its end tag, and stores
        // its texts without a terminating zero (the plain shape's record
        // with an empty section ends with that tag too, after a zero).
        const bool zeroEnded = at > nextAt + 5 && messages_[at - 1] == 0;
        if (at < blockLength && messages_[at] == kQtRecordEndTag && !zeroEnded) {
          document_.qtRecords = true;
        }
        if (tag == kSectionTag && subsection.empty()) marks |= EntryForms::kSourceAndContext;
        if (tag == kSubsectionTag) marks |= EntryForms::kContextTwice;
        keepCommentAfter(at, documentEntry);
        keepForms();
        return true;
      }
      case kCommentTag: {
        std::string_view comment;
        if (!readByteText(tagAt, at, kEndOfString, comment)) return false;
        if (comment.empty()) break;
        if (allLists && document_.comments.view(documentEntry).empty()) {
          document_.comments.set(documentEntry, comment);
        }
        commentSeen_ = true;
        break;
      }
      default:
        return unexpected(kEndOfString, messagesStart_ + tagAt, tag);
    }
  }
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
