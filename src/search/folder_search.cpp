#include "search/folder_search.h"

#include "platform/file_descriptor.h"
#include "platform/message_format.h"
#include "platform/path_codec.h"
#include "qm/comment_notice.h"
#include "search/qm_file_test.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

namespace sorvane {

namespace {

struct Entry {
  std::string name;
  bool folder = false;
  bool regularFile = false;
};

// The folder's entries in the order the system lists them; nothing when it
// can't be listed. A symbolic link counts as what it points to, except
// that a link to a folder is no folder: the walk never leaves the tree.
std::optional<std::vector<Entry>> listFolder(const std::string& folder) {
  std::vector<Entry> entries;
  const int fd = openPath(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  DIR* listing = ::fdopendir(fd);
  if (listing == nullptr) {
    ::close(fd);
    return std::nullopt;
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

bool hasQmExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && name.substr(dot) == ".qm";
}

}  // namespace

std::u16string summaryLine(const SearchSummary& summary) {
  const std::u16string_view outcome =
      summary.outcome == SearchOutcome::stopped ? u"stopped" : u"completed";
  if (summary.unreadableFolders > 0) {
    return formatMessage(u"[ Search %s - found %d files; %d folders could not be read ]",
                         {outcome, summary.found, summary.unreadableFolders});
  }
  return formatMessage(u"[ Search %s - found %d files ]", {outcome, summary.found});
}

SearchSummary searchFolder(std::u16string_view folder, const FolderSearchHooks& hooks,
                           DialogServices& dialogs) {
  OneCommentNotice oneNotice(dialogs);
  // Pieces of the files tested, a few MB at most, kept for this search.
  std::vector<std::uint8_t> pieces;
  SearchSummary summary;
  std::deque<std::u16string> queue{std::u16string(folder)};
  while (!queue.empty()) {
    const std::u16string current = std::move(queue.front());
    queue.pop_front();
    hooks.enteringFolder(current);
    const std::u16string prefix = current.ends_with(u'/') ? current : current + u'/';
    const std::optional<std::vector<Entry>> entries = listFolder(nativePath(current));
    if (!entries) ++summary.unreadableFolders;
    for (const Entry& entry : entries.value_or(std::vector<Entry>())) {
      const std::u16string path = prefix + pathFromNative(entry.name);
      if (entry.folder) {
        if (hooks.recurse()) queue.push_back(path);
      } else if (entry.regularFile && hasQmExtension(entry.name)) {
        const std::u16string text = hooks.searchText();
        const FileTestResult test =
            text.empty() ? FileTestResult::found : testQmFile(path, text, oneNotice, [&hooks] {
              hooks.afterEntry();
              return !hooks.stopRequested();
            });
        if (test == FileTestResult::found) {
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
