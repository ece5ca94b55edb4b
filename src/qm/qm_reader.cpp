#include "qm/qm_reader.h"

#include "platform/dialog_services.h"
#include "platform/large_allocation.h"
#include "platform/message_format.h"
#include "platform/system_error.h"
#include "qm/qm_format.h"
#include "widetext/byte_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
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

constexpr std::u16string_view kCommentNotice =
    u"Error. If you see this message, please report me about it.";

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

  bool readBytes(std::uint64_t position, void* buffer, std::size_t count) {
    stream_.seek(position);
    return stream_.read(buffer, count) == count;
  }

  bool readRecords();
  bool readRecord(std::size_t entry);
  // The entry read before this one from the same record, or -1.
  std::int64_t earlierEntryWithRecord(std::size_t entry);
  void addSharedEntry(std::size_t earlier);
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

  // Entries may share a record; their texts are then shared, not copied, so
  // that a small file can't claim memory without bound. Records usually
  // come in ascending order, so the map from record offset to the first
  // entry is built only once an offset repeats or goes back.
  bool commentNoticeShown_ = false;
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

  std::uint8_t head[kQmMinimumSize];
  if (!readBytes(0, head, sizeof head)) return failShortRead();
  if (!std::equal(kQmMagic.begin(), kQmMagic.end(), head) || head[16] != kIndexBlockTag) {
    return fail(u"Invalid header in \"%s\"");
  }
  indexLength_ = readBigEndian32(head + kQmHeaderSize);
  if (indexLength_ == 0)
    return fail(u"Index table has zero size.\r\nNothing to translate in \"%s\"");
  if (size < indexLength_ + kQmMinimumSize) return fail(u"File \"%s\" is too small.");

  // The messages block tag and length. A file that ends right after the
  // index block has no tag to show; its data byte is given as 0x00.
  const std::uint64_t messagesTagAt = kQmMinimumSize + indexLength_;
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

  const bool hasContextBlock = size > messagesEnd;
  std::uint64_t contextLength = 0;
  if (hasContextBlock) {
    std::uint8_t contextHead[5] = {};
    stream_.seek(messagesEnd);
    const std::size_t gotContextHead = stream_.read(contextHead, sizeof contextHead);
    if (gotContextHead == 0) return failShortRead();
    if (contextHead[0] != kContextBlockTag) {
      return unexpected(kEndOfAllStrings, messagesEnd, contextHead[0]);
    }
    if (gotContextHead < sizeof contextHead) return fail(u"Wrong size of file \"%s\"");
    contextLength = readBigEndian32(contextHead + 1);
    if (size != messagesEnd + sizeof contextHead + contextLength) {
      return fail(u"Wrong size of file \"%s\"");
    }
  } else if (size != messagesEnd) {
    return fail(u"Wrong size of file \"%s\"");
  }

  QmReadBuffer& buffer = options_.buffer != nullptr ? *options_.buffer : ownBuffer_;
  const auto blocksLength = static_cast<std::size_t>(messagesEnd - kQmMinimumSize);
  buffer.bytes.resize(blocksLength);
  if (!readBytes(kQmMinimumSize, buffer.bytes.data(), blocksLength)) return failShortRead();
  index_ = std::span(buffer.bytes).first(static_cast<std::size_t>(indexLength_));
  messages_ =
      std::span(buffer.bytes).subspan(static_cast<std::size_t>(messagesStart_ - kQmMinimumSize));
  if (!readRecords()) return false;

  if (options_.keepContextTable) {
    std::vector<std::uint8_t> context(static_cast<std::size_t>(contextLength));
    if (hasContextBlock && !readBytes(messagesEnd + 5, context.data(), context.size())) {
      return failShortRead();
    }
    document_.contextTable = std::move(context);
  }
  return true;
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
  for (std::size_t entry = 0; entry < entries; ++entry) {
    if (allLists) document_.hashes.push_back(readBigEndian32(index_.data() + 8 * entry));
    if (const std::int64_t earlier = earlierEntryWithRecord(entry); earlier >= 0) {
      addSharedEntry(static_cast<std::size_t>(earlier));
    } else if (!readRecord(entry)) {
      return false;
    }
  }
  return true;
}

std::int64_t QmReader::earlierEntryWithRecord(std::size_t entry) {
  const auto offsetOf = [this](std::size_t i) {
    return readBigEndian32(index_.data() + 8 * i + 4);
  };
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
  const auto index = static_cast<std::int32_t>(earlier);
  document_.translations.addCopyOf(translationsBase_ + index);
  if (options_.lists == QmLists::all) {
    document_.sectionTexts.addCopyOf(sectionTextsBase_ + index);
    document_.subsectionTexts.addCopyOf(subsectionTextsBase_ + index);
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

bool QmReader::readRecord(std::size_t entry) {
  const std::size_t blockLength = messages_.size();
  const std::uint32_t offset = readBigEndian32(index_.data() + 8 * entry + 4);
  if (offset >= blockLength) return unexpected(kRecordBeginning, messagesStart_ + offset, 0);
  std::size_t at = offset;
  if (messages_[at] != kTranslationTag) {
    return unexpected(kRecordBeginning, messagesStart_ + at, messages_[at]);
  }
  ++at;
  if (blockLength - at < 4)
    return unexpected(kRecordBeginning, messagesStart_ + offset, kTranslationTag);
  const std::uint32_t byteCount = readBigEndian32(messages_.data() + at);
  at += 4;
  if (byteCount > blockLength - at) {
    return unexpected(kRecordBeginning, messagesStart_ + offset, kTranslationTag);
  }
  // An odd byte count leaves its last byte out of the text.
  const std::size_t units = byteCount / 2;
  if (scratch_.size() < units + 2) scratch_.resize(units + 2);
  std::memcpy(scratch_.data(), messages_.data() + at, byteCount);
  swapUtf16Units(scratch_.data(), byteCount);
  document_.translations.add(std::u16string_view(scratch_.data(), units));
  at += byteCount;

  const bool allLists = options_.lists == QmLists::all;
  while (true) {
    if (at >= blockLength) return unexpected(kEndOfString, messagesStart_ + at, 0);
    const std::size_t tagAt = at;
    const std::uint8_t tag = messages_[at++];
    switch (tag) {
      case kRecordEndTag:
        if (allLists) {
          document_.sectionTexts.add({});
          document_.subsectionTexts.add({});
        }
        return true;
      case kSectionTag:
      case kSubsectionTag: {
        std::string_view section;
        if (!readByteText(tagAt, at, kEndOfString, section)) return false;
        if (allLists) document_.sectionTexts.add(section);
        if (at >= blockLength) return unexpected(kEndOfSection, messagesStart_ + at, 0);
        const std::size_t nextAt = at;
        const std::uint8_t next = messages_[at++];
        if (next == kRecordEndTag) {
          if (allLists) document_.subsectionTexts.add({});
          return true;
        }
        if (next != kSubsectionTag) return unexpected(kEndOfSection, messagesStart_ + nextAt, next);
        std::string_view subsection;
        if (!readByteText(nextAt, at, kEndOfSection, subsection)) return false;
        if (allLists) document_.subsectionTexts.add(subsection);
        return true;
      }
      case kCommentTag: {
        std::string_view comment;
        if (!readByteText(tagAt, at, kEndOfString, comment)) return false;
        // A non-empty comment is not an error, but files are not expected to
        // carry one, so the user is asked to tell about it, once a file.
        if (!comment.empty() && !commentNoticeShown_) {
          commentNoticeShown_ = true;
          dialogs_.showMessage(DialogOwner::none, kCommentNotice, kApplicationName,
                               MessageButtons::ok, MessageIcon::none);
        }
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
  }
}

void reportOutOfMemory(DialogServices& dialogs, std::u16string_view fileName) {
  dialogs.showError(DialogOwner::mainWindow,
                    formatMessage(u"Not enough memory to read \"%s\"", {fileName}));
}

void reportUnexpectedData(DialogServices& dialogs, std::u16string_view what,
                          std::u16string_view fileName, std::uint64_t position, std::uint8_t data) {
  dialogs.showError(
      DialogOwner::mainWindow,
      formatMessage(u"Unexpected data %s.\r\n\r\nFile: \"%s\"\r\nPosition: 0x%08x\r\nData: 0x%02x",
                    {what, fileName, position, data}));
}

void reportOpenError(DialogServices& dialogs, std::u16string_view fileName, int error) {
  dialogs.showError(DialogOwner::mainWindow, formatMessage(u"Error opening \"%s\"\r\n%s",
                                                           {fileName, systemErrorText(error)}));
}

}  // namespace sorvane
