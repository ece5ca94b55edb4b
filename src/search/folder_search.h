#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// What a folder search asks of its user interface while it runs.
struct FolderSearchHooks {
  // A folder is about to be listed (the status line shows it).
  std::function<void(std::u16string_view folder)> enteringFolder;
  // A file is a result.
  std::function<void(std::u16string_view path)> found;
  // Read anew for every entry: whether subfolders are searched, and the text.
  std::function<bool()> recurse;
  std::function<std::u16string()> searchText;
  // Called after every entry, and every few MB inside a large file, so
  // that neither a long run of files nor one large file keeps the
  // interface waiting; and whether a stop was asked for meanwhile (which a
  // large file's test heeds too).
  std::function<void()> afterEntry;
  std::function<bool()> stopRequested;
};

enum class SearchOutcome { completed, stopped };

struct SearchSummary {
  SearchOutcome outcome = SearchOutcome::completed;
  std::int32_t found = 0;
  // Folders that could not be listed (no permission, an I/O error).
  std::int32_t unreadableFolders = 0;
};

// "[ Search completed - found 3 files ]", and when folders could not be
// read "[ Search completed - found 3 files; 2 folders could not be read ]"
std::u16string summaryLine(const SearchSummary& summary);

// Searches the folder breadth-first for files named *.qm (the extension
// compared exactly) that hold the search text; an empty text lists every
// such file without reading it. Symbolic links to folders are never
// followed, a folder that can't be listed is counted and contributes
// nothing else, and a
// candidate that is not a regular file (a pipe, a device) is skipped. File
// names need not be UTF-8. The reader's comment notice is shown at most once
// a search. The caller checked that the folder exists.
SearchSummary searchFolder(std::u16string_view folder, const FolderSearchHooks& hooks,
                           DialogServices& dialogs);

}  // namespace sorvane
