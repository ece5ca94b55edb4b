#include "search/folder_search.h"

#include "platform/dialog_services.h"
#include "platform/file_descriptor.h"
#include "platform/message_format.h"
#include "platform/path_codec.h"
#include "qm/qm_reader.h"
#include "session/find_in_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <deque>

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
  QmDocument document;
  const QmReadOptions options{.quiet = true, .lists = QmLists::translationsOnly};
  if (!readQmFile(path, document, options, dialogs)) return false;
  const std::u16string pattern = u"*" + std::u16string(text) + u"*";
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
