#include "search/folder_search.h"

#include "platform/case_mapping.h"
#include "platform/dialog_services.h"
#include "platform/file_descriptor.h"
#include "platform/message_format.h"
#include "platform/path_codec.h"
#include "qm/qm_reader.h"
#include "session/find_in_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <emmintrin.h>

#include <algorithm>
#include <deque>
#include <span>
#include <vector>

namespace sorvane {

namespace {

// Passes everything on, but the reader's comment notice only once.
class OneNoticeDialogs : public DialogServices {
 public:
  explicit OneNoticeDialogs(DialogServices& dialogs) : dialogs_(dialogs) {}

  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override {
    if (owner == DialogOwner::none && icon == MessageIcon::none) {
      if (noticeShown_) return MessageAnswer::ok;
      noticeShown_ = true;
    }
    return dialogs_.showMessage(owner, text, caption, buttons, icon);
  }
  std::optional<std::u16string> chooseFile(FileDialogKind kind, DialogOwner owner,
                                           std::u16string_view filter,
                                           std::u16string_view initialFolder,
                                           std::u16string_view initialFileName) override {
    return dialogs_.chooseFile(kind, owner, filter, initialFolder, initialFileName);
  }
  std::optional<std::u16string> chooseFolder(DialogOwner owner,
                                             std::u16string_view initialFolder) override {
    return dialogs_.chooseFolder(owner, initialFolder);
  }
  void beep() override { dialogs_.beep(); }
  void flashWindow(DialogOwner window) override { dialogs_.flashWindow(window); }

 private:
  DialogServices& dialogs_;
  bool noticeShown_ = false;
};

struct Entry {
  std::string name;
  bool folder = false;
  bool regularFile = false;
};

// The folder's entries in the order the system lists them; nothing when it
// can't be listed. A symbolic link counts as what it points to, except
// that a link to a folder is no folder: the walk never leaves the tree.
std::vector<Entry> listFolder(const std::string& folder) {
  std::vector<Entry> entries;
  const int fd = openPath(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return entries;
  DIR* listing = ::fdopendir(fd);
  if (listing == nullptr) {
    ::close(fd);
    return entries;
  }
  while (const dirent* item = ::readdir(listing)) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    Entry entry{name};
    unsigned char type = item->d_type;
    struct stat info {};
    if (type == DT_UNKNOWN && ::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
      type = S_ISDIR(info.st_mode)   ? DT_DIR
             : S_ISLNK(info.st_mode) ? DT_LNK
             : S_ISREG(info.st_mode) ? DT_REG
                                     : DT_FIFO;
    }
    if (type == DT_LNK && ::fstatat(fd, name.c_str(), &info, 0) == 0) {
      type = S_ISREG(info.st_mode) ? DT_REG : DT_FIFO;
    }
    entry.folder = type == DT_DIR;
    entry.regularFile = type == DT_REG;
    entries.push_back(std::move(entry));
  }
  ::closedir(listing);
  return entries;
}

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

// Whether the file's bytes hold the lower-cased literal as UTF-16BE at any
// byte offset, in any letter case. Translations are stored that way, so a
// file without it can't hold a match and needs no parsing; a file with it
// is read properly. Eight units' worth of offsets are tested at a time.
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

// Reads a whole file into a buffer reused from file to file (fresh memory
// costs more than the read itself); false when it can't be read.
bool readWholeFile(std::u16string_view path, std::vector<std::uint8_t>& buffer) {
  const FileDescriptor fd(openPath(nativePath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  buffer.resize(static_cast<std::size_t>(info.st_size));
  int error = 0;
  buffer.resize(readAt(fd.get(), buffer.data(), buffer.size(), 0, &error));
  return error == 0;
}

bool hasQmExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && name.substr(dot) == ".qm";
}

}  // namespace

std::u16string summaryLine(const SearchSummary& summary) {
  return formatMessage(
      u"[ Search %s - found %d files ]",
      {summary.outcome == SearchOutcome::stopped ? u"stopped" : u"completed", summary.found});
}

bool qmFileContains(std::u16string_view path, std::u16string_view text, DialogServices& dialogs) {
  // A file that can't hold the text is passed over without being parsed.
  {
    static std::vector<std::uint8_t> bytes;
    if (readWholeFile(path, bytes) && !bytesMayHold(bytes, longestLiteral(text))) return false;
  }
  QmDocument document;
  const QmReadOptions options{.quiet = true, .lists = QmLists::translationsOnly};
  if (!readQmFile(path, document, options, dialogs)) return false;
  const std::u16string pattern = containingPattern(text);
  for (std::int32_t entry = 0; entry < document.translations.count(); ++entry) {
    for (std::int32_t form = 0; form < document.forms.count(entry); ++form) {
      if (wildcardMatch(document.formText(entry, form), pattern)) return true;
    }
  }
  return false;
}

SearchSummary searchFolder(std::u16string_view folder, const FolderSearchHooks& hooks,
                           DialogServices& dialogs) {
  OneNoticeDialogs oneNotice(dialogs);
  SearchSummary summary;
  std::deque<std::u16string> queue{std::u16string(folder)};
  while (!queue.empty()) {
    const std::u16string current = std::move(queue.front());
    queue.pop_front();
    hooks.enteringFolder(current);
    const std::u16string prefix = current.ends_with(u'/') ? current : current + u'/';
    for (const Entry& entry : listFolder(nativePath(current))) {
      const std::u16string path = prefix + pathFromNative(entry.name);
      if (entry.folder) {
        if (hooks.recurse()) queue.push_back(path);
      } else if (entry.regularFile && hasQmExtension(entry.name)) {
        const std::u16string text = hooks.searchText();
        if (text.empty() || qmFileContains(path, text, oneNotice)) {
          ++summary.found;
          hooks.found(path);
        }
      }
      hooks.afterEntry();
      if (hooks.stopRequested()) {
        summary.outcome = SearchOutcome::stopped;
        return summary;
      }
    }
  }
  return summary;
}

}  // namespace sorvane
