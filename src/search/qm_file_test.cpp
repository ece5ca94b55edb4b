#include "search/qm_file_test.h"

#include "platform/case_mapping.h"
#include "platform/file_descriptor.h"
#include "platform/path_codec.h"
#include "qm/comment_notice.h"
#include "qm/qm_format.h"
#include "qm/qm_walker.h"
#include "widetext/wildcard_match.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace sorvane {

namespace {

// The most a test holds of a file at once.
constexpr std::size_t kPiece = std::size_t{4} << 20;
// What a jump backwards or far ahead reads: records that come in no order
// are read a little at a time, not a piece each.
constexpr std::size_t kSmallRead = std::size_t{64} << 10;
// Records checked between two calls of keepGoing.
constexpr std::size_t kRecordsBetweenCalls = 4096;

// The longest run of the text without wildcards, lower-cased: any match
// holds it.
std::u16string longestLiteral(std::u16string_view text) {
  std::u16string best;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'*' || text[i] == u'?') {
      if (i - start > best.size()) best = text.substr(start, i - start);
      start = i + 1;
    }
  }
  const char16_t* lower = lowerCaseTable();
  for (char16_t& unit : best) unit = lower[unit];
  return best;
}

// Whether the bytes hold the lower-cased literal as UTF-16BE at any byte
// offset, in any letter case. Translations are stored that way, so a file
// without it can't hold a match and needs no parsing. Eight units' worth of
// offsets are tested at a time.
bool bytesMayHold(std::span<const std::uint8_t> bytes, std::u16string_view literal) {
  if (literal.empty()) return true;
  const std::size_t length = 2 * literal.size();
  if (bytes.size() < length) return false;
  const char16_t* lower = lowerCaseTable();
  const auto restMatches = [&](std::size_t at) {
    for (std::size_t k = 0; k < literal.size(); ++k) {
      const auto unit = static_cast<char16_t>((bytes[at + 2 * k] << 8) | bytes[at + 2 * k + 1]);
      if (lower[unit] != literal[k]) return false;
    }
    return true;
  };
  const std::size_t last = bytes.size() - length;
  std::size_t at = 0;
  // The first two units (or one) are tested in SIMD: a byte offset is a
  // candidate when the bytes there form one of the units lowering to each.
  // The units' distinct low bytes are compared; their high byte once when
  // they share it (as the two cases of a letter do).
  struct UnitBytes {
    __m128i high[3];
    __m128i low[3];
    std::size_t count = 0;
    bool sharedHigh = true;
  };
  const std::size_t tested = std::min<std::size_t>(literal.size(), 2);
  bool complete = true;
  UnitBytes units[2];
  for (std::size_t k = 0; k < tested; ++k) {
    const UnitsLoweringTo& candidates = unitsLoweringTo(literal[k]);
    complete = complete && candidates.complete;
    UnitBytes& unit = units[k];
    char16_t distinct[3] = {};
    for (const char16_t candidate : candidates.units) {
      if (std::find(distinct, distinct + unit.count, candidate) != distinct + unit.count) continue;
      distinct[unit.count] = candidate;
      unit.sharedHigh = unit.sharedHigh && (candidate >> 8) == (candidates.units[0] >> 8);
      unit.high[unit.count] = _mm_set1_epi8(static_cast<char>(candidate >> 8));
      unit.low[unit.count] = _mm_set1_epi8(static_cast<char>(candidate & 0xFF));
      ++unit.count;
    }
  }
  const auto load = [&bytes](std::size_t offset) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + offset));
  };
  if (complete) {
    for (; at + 16 + 2 * tested <= bytes.size() && at <= last; at += 16) {
      __m128i hits = _mm_set1_epi8(-1);
      for (std::size_t k = 0; k < tested; ++k) {
        const UnitBytes& unit = units[k];
        const __m128i here = load(at + 2 * k);
        const __m128i next = load(at + 2 * k + 1);
        __m128i match = _mm_setzero_si128();
        if (unit.sharedHigh) {
          for (std::size_t c = 0; c < unit.count; ++c) {
            match = _mm_or_si128(match, _mm_cmpeq_epi8(next, unit.low[c]));
          }
          match = _mm_and_si128(match, _mm_cmpeq_epi8(here, unit.high[0]));
        } else {
          for (std::size_t c = 0; c < unit.count; ++c) {
            match = _mm_or_si128(match, _mm_and_si128(_mm_cmpeq_epi8(here, unit.high[c]),
                                                      _mm_cmpeq_epi8(next, unit.low[c])));
          }
        }
        hits = _mm_and_si128(hits, match);
      }
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0;
           mask &= mask - 1) {
        const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctz(mask));
        if (candidate <= last && restMatches(candidate)) return true;
      }
    }
  }
  for (; at <= last; ++at) {
    if (restMatches(at)) return true;
  }
  return false;
}

// Matches "*segment*segment*...*" (the containing pattern of a search
// text) against a text fed to it a piece at a time: each segment is found
// at its leftmost place after the one before, which decides a match of
// such a pattern exactly. For texts too long to hold at once.
class StreamingMatch {
 public:
  explicit StreamingMatch(std::u16string_view loweredPattern) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= loweredPattern.size(); ++i) {
      if (i == loweredPattern.size() || loweredPattern[i] == u'*') {
        if (i > start) segments_.emplace_back(loweredPattern.substr(start, i - start));
        start = i + 1;
      }
    }
  }

  void restart() {
    segment_ = 0;
    window_.clear();
  }
  bool matched() const { return segment_ == segments_.size(); }

  void feed(char16_t lowered) {
    if (matched()) return;
    const std::u16string& segment = segments_[segment_];
    window_.push_back(lowered);
    if (window_.size() > segment.size()) window_.erase(window_.begin());
    if (window_.size() < segment.size()) return;
    for (std::size_t k = 0; k < segment.size(); ++k) {
      if (segment[k] != u'?' && segment[k] != window_[k]) return;
    }
    ++segment_;
    window_.clear();
  }

 private:
  std::vector<std::u16string> segments_;
  std::size_t segment_ = 0;
  std::u16string window_;
};

// Reads a file in pieces: a piece of the file around what is asked for is
// held, and read anew when something outside it is asked for.
class PieceReader {
 public:
  // buffer: where pieces are read to, reused from file to file.
  PieceReader(int fd, std::uint64_t size, std::vector<std::uint8_t>& buffer)
      : fd_(fd), size_(size), buffer_(buffer) {}

  // The count bytes at offset, valid until the next call; null when they
  // lie beyond the file, can't be read, or are more than a piece.
  const std::uint8_t* bytes(std::uint64_t offset, std::size_t count) {
    if (count > kPiece || offset > size_ || count > size_ - offset) return nullptr;
    if (offset >= start_ && offset + count <= start_ + length_) {
      return buffer_.data() + (offset - start_);
    }
    // Going on from the end of the piece reads a whole piece; a jump reads
    // little, as records that come in no order do.
    const bool onwards = offset >= start_ && offset <= start_ + length_ + kSmallRead;
    const std::size_t wanted = std::max(count, onwards || size_ <= kPiece ? kPiece : kSmallRead);
    const std::uint64_t from = size_ <= kPiece ? 0 : offset;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size_ - from));
    buffer_.resize(length);
    int error = 0;
    if (readAt(fd_, buffer_.data(), length, from, &error) != length) {
      length_ = 0;
      return nullptr;
    }
    start_ = from;
    length_ = length;
    bytesRead_ += length;
    return buffer_.data() + (offset - start_);
  }

  // Bytes read so far; keepGoing is called per piece's worth.
  std::uint64_t bytesRead() const { return bytesRead_; }
  std::uint64_t size() const { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
  std::vector<std::uint8_t>& buffer_;
  std::uint64_t start_ = 0;
  std::size_t length_ = 0;
  std::uint64_t bytesRead_ = 0;
};

enum class Outcome { invalid, valid, stopped };

// The file's bytes for the walk of its blocks.
class PieceSource {
 public:
  explicit PieceSource(PieceReader& file) : file_(file) {}
  std::uint64_t size() const { return file_.size(); }
  std::size_t read(std::uint64_t offset, void* buffer, std::size_t count) {
    const std::uint8_t* bytes = file_.bytes(offset, count);
    if (bytes == nullptr) {
      failed_ = true;
      return 0;
    }
    std::memcpy(buffer, bytes, count);
    return count;
  }
  bool failed() const { return failed_; }

 private:
  PieceReader& file_;
  bool failed_ = false;
};

// The messages block, read in pieces, for the walk of its records.
struct PieceMessages {
  PieceReader& file;
  std::uint64_t start;
  std::uint64_t blockLength;

  std::uint64_t length() const { return blockLength; }
  std::optional<std::uint8_t> byte(std::uint64_t at) const {
    const std::uint8_t* bytes = file.bytes(start + at, 1);
    if (bytes == nullptr) return std::nullopt;
    return *bytes;
  }
  std::optional<std::uint32_t> number(std::uint64_t at) const {
    const std::uint8_t* bytes = file.bytes(start + at, 4);
    if (bytes == nullptr) return std::nullopt;
    return readBigEndian32(bytes);
  }
};

// Checks a QM file as the reader does, in pieces, and matches every
// translation against the pattern on the way.
class QmFileCheck {
 public:
  // pattern: lower-cased.
  QmFileCheck(PieceReader& file, std::u16string pattern, const std::function<bool()>& keepGoing)
      : file_(file), pattern_(std::move(pattern)), streaming_(pattern_), keepGoing_(keepGoing) {}

  // Whether the file's blocks are those of a QM file; a few bytes read.
  bool blocksValid();
  // Checks every record; after blocksValid.
  Outcome records();
  bool found() const { return found_; }
  // A non-empty comment in a file whose records are not in Qt's shape.
  bool noticeDue() const { return commentSeen_ && !qtRecords_; }

  // The walk's items.
  bool translation(std::size_t form, std::uint64_t at, std::uint32_t byteCount);
  void comment(std::uint64_t at, std::uint32_t length);
  void end(const QmRecordEnd& end) { qtRecords_ = qtRecords_ || end.qtShape; }

 private:
  void match(std::uint64_t at, std::uint64_t byteCount);
  bool askToGoOn();

  PieceReader& file_;
  std::u16string pattern_;
  StreamingMatch streaming_;
  const std::function<bool()>& keepGoing_;
  QmBlocks blocks_;
  std::vector<char16_t> text_;
  std::uint64_t lastCallAt_ = 0;
  bool found_ = false;
  bool stopped_ = false;
  bool commentSeen_ = false;
  bool qtRecords_ = false;
};

bool QmFileCheck::blocksValid() {
  PieceSource source(file_);
  const QmLayout layout = walkQmBlocks(source);
  blocks_ = layout.blocks;
  return layout.fault == QmLayoutFault::none;
}

bool QmFileCheck::askToGoOn() {
  lastCallAt_ = file_.bytesRead();
  return keepGoing_();
}

Outcome QmFileCheck::records() {
  // The index is read a part at a time into a buffer of its own, so that
  // reading records doesn't push it out.
  const std::uint64_t entries = blocks_.index.length / 8;
  constexpr std::size_t kEntriesAtOnce = 16384;
  PieceMessages messages{file_, blocks_.messages.at, blocks_.messages.length};
  std::vector<std::uint8_t> index;
  std::int64_t previousOffset = -1;
  std::size_t sinceCall = 0;
  QmRecordFault fault;
  for (std::uint64_t first = 0; first < entries; first += kEntriesAtOnce) {
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(kEntriesAtOnce, entries - first));
    const std::uint8_t* bytes = file_.bytes(blocks_.index.at + 8 * first, 8 * count);
    if (bytes == nullptr) return Outcome::invalid;
    index.assign(bytes, bytes + 8 * count);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t offset = readBigEndian32(index.data() + 8 * i + 4);
      // Entries that share a record check the same bytes.
      if (offset != previousOffset) {
        switch (walkQmRecord(messages, offset, *this, fault)) {
          case QmRecordOutcome::complete:
            break;
          case QmRecordOutcome::stopped:
            return Outcome::stopped;
          case QmRecordOutcome::invalid:
          case QmRecordOutcome::unreadable:
            return Outcome::invalid;
        }
      }
      previousOffset = offset;
      if (++sinceCall == kRecordsBetweenCalls || file_.bytesRead() - lastCallAt_ >= kPiece) {
        sinceCall = 0;
        if (!askToGoOn()) return Outcome::stopped;
      }
    }
  }
  return Outcome::valid;
}

void QmFileCheck::comment(std::uint64_t at, std::uint32_t length) {
  // A comment counts from its first byte on, as the reader cuts it there.
  if (commentSeen_ || length == 0) return;
  const std::uint8_t* first = file_.bytes(blocks_.messages.at + at, 1);
  commentSeen_ = first != nullptr && first[0] != 0;
}

void QmFileCheck::match(std::uint64_t at, std::uint64_t byteCount) {
  const std::uint64_t messagesStart = blocks_.messages.at;
  const std::uint64_t units = byteCount / 2;
  const char16_t* lower = lowerCaseTable();
  if (2 * units <= kPiece) {
    const std::uint8_t* bytes = file_.bytes(messagesStart + at, 2 * units);
    if (bytes == nullptr) return;
    text_.resize(units);
    std::size_t length = 0;
    for (; length < units; ++length) {
      const auto unit = static_cast<char16_t>((bytes[2 * length] << 8) | bytes[2 * length + 1]);
      if (unit == 0) break;
      text_[length] = unit;
    }
    found_ = wildcardMatchLowered(std::u16string_view(text_.data(), length), pattern_);
    return;
  }
  // A text longer than a piece is matched as it is read.
  streaming_.restart();
  for (std::uint64_t done = 0; done < units && !streaming_.matched();) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece / 2, units - done));
    const std::uint8_t* bytes = file_.bytes(messagesStart + at + 2 * done, 2 * count);
    if (bytes == nullptr) return;
    for (std::size_t k = 0; k < count; ++k) {
      const auto unit = static_cast<char16_t>((bytes[2 * k] << 8) | bytes[2 * k + 1]);
      if (unit == 0) {
        done = units;
        break;
      }
      streaming_.feed(lower[unit]);
    }
    done += count;
    if (file_.bytesRead() - lastCallAt_ >= kPiece && !askToGoOn()) {
      stopped_ = true;
      return;
    }
  }
  found_ = streaming_.matched();
}

bool QmFileCheck::translation(std::size_t /*form*/, std::uint64_t at, std::uint32_t byteCount) {
  if (found_) return true;
  if (byteCount == kAbsentTranslationLength) {
    // "No translation" is an empty text, as the reader gives it.
    found_ = wildcardMatchLowered(u"", pattern_);
    return true;
  }
  match(at, byteCount);
  return !stopped_;
}

// Whether the file's bytes may hold the literal: the file is read a piece
// at a time, each piece beginning with the end of the one before, so that
// a literal across two pieces is seen.
std::optional<bool> mayHold(PieceReader& file, std::u16string_view literal,
                            const std::function<bool()>& keepGoing) {
  if (literal.empty()) return true;
  const std::size_t overlap = 2 * literal.size() - 1;
  if (overlap >= kPiece / 2) return true;
  for (std::uint64_t at = 0; at < file.size();) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, file.size() - at));
    const std::uint8_t* bytes = file.bytes(at, count);
    if (bytes == nullptr) return false;
    if (bytesMayHold(std::span(bytes, count), literal)) return true;
    if (at + count == file.size()) break;
    at += count - overlap;
    if (!keepGoing()) return std::nullopt;
  }
  return false;
}

}  // namespace

FileTestResult testQmFile(std::u16string_view path, std::u16string_view text,
                          DialogServices& dialogs, const std::function<bool()>& keepGoing,
                          std::vector<std::uint8_t>* reusedBuffer) {
  try {
    const FileDescriptor fd(openPath(nativePath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
      return FileTestResult::notFound;
    }
    std::vector<std::uint8_t> ownBuffer;
    PieceReader file(fd.get(), static_cast<std::uint64_t>(info.st_size),
                     reusedBuffer != nullptr ? *reusedBuffer : ownBuffer);
    std::u16string pattern = containingPattern(text);
    const char16_t* lower = lowerCaseTable();
    for (char16_t& unit : pattern) unit = lower[unit];
    QmFileCheck check(file, std::move(pattern), keepGoing);
    // A file that isn't QM costs the few bytes of its blocks' heads; one
    // that can't hold the text is passed over without its records.
    if (!check.blocksValid()) return FileTestResult::notFound;
    const std::optional<bool> may = mayHold(file, longestLiteral(text), keepGoing);
    if (!may) return FileTestResult::stopped;
    if (!*may) return FileTestResult::notFound;
    const Outcome outcome = check.records();
    if (outcome == Outcome::stopped) return FileTestResult::stopped;
    if (outcome == Outcome::invalid) return FileTestResult::notFound;
    if (check.noticeDue()) showCommentNotice(dialogs);
    return check.found() ? FileTestResult::found : FileTestResult::notFound;
  } catch (const std::bad_alloc&) {
    // A file that can't be tested in the memory there is is not a result.
    return FileTestResult::notFound;
  }
}

}  // namespace sorvane
