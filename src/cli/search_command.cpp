#include "cli/search_command.h"

#include "platform/dialog_services.h"
#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "search/folder_search.h"

namespace sorvane {

int runSearch(std::u16string_view folder, std::u16string_view text, bool recurse, std::ostream& out,
              DialogServices& dialogs) {
  if (!isFolder(folder)) {
    dialogs.showMessage(DialogOwner::folderSearchWindow, u"Folder does not exist.", u"Wrong folder",
                        MessageButtons::ok, MessageIcon::exclamation);
    return 1;
  }
  const FolderSearchHooks hooks{
      .enteringFolder = [](std::u16string_view) {},
      // Paths are printed as the bytes they are, names that are not UTF-8
      // included, so that they can be used again.
      .found = [&out](std::u16string_view path) { out << nativePath(path) << '\n'; },
      .recurse = [recurse] { return recurse; },
      .searchText = [text] { return std::u16string(text); },
      .afterEntry = [] {},
      .stopRequested = [] { return false; },
  };
  const SearchSummary summary = searchFolder(folder, hooks, dialogs);
  out << toLocal8Bit(summaryLine(summary)) << '\n';
  out.flush();
  return out ? 0 : 1;
}

}  // namespace sorvane
