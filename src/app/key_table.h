#pragma once

#include <Qt>

#include <optional>
#include <span>

class QKeyEvent;

namespace sorvane {

// What a key of the program does; the window runs it (WindowCommands).
enum class Command {
  showSearchWindow,
  toggleSubdirectories,  // the folder search's "Subdirectories"
  openSearchResult,      // Enter: the selected result, or a search from the boxes
  save,
  exportTexts,
  findNext,
  nextColouredRow,
  previousColouredRow,
  focusFindBox,
  toggleChangeSame,
  focusList,
  keepForSearch,  // Ctrl+R in the main window: the search window's key, taken
  toggleControlsPanel,
  openFiles,
  closeFiles,
  redo,
  undo,
  enter,   // open the files, find on, open the row editors, or store the edit
  escape,  // drop the edit
  editRow,
  deleteRowText,
  toModEditor,
  toOriginalEditor,
  nextProblemRow,
  previousProblemRow,
  copyOriginal,  // the row's original text into the Mod editor
};

// In which window a key counts.
enum class KeyWindow { main, search, any };

// How a key's modifiers must be for it to count.
enum class KeyPress {
  ctrl,          // Ctrl, not Shift; Alt not looked at
  ctrlNoAlt,     // Ctrl alone
  ctrlShift,     // Ctrl and Shift, not Alt
  ctrlAlt,       // Ctrl and Alt alone
  plain,         // no modifier, no mouse button held
  plainNoLocks,  // as plain, and Caps Lock off
  shift,         // Shift alone
};

struct KeyBinding {
  int key;  // Qt::Key; for letters the Latin letter on the key, whatever the layout
  KeyPress press;
  KeyWindow window;
  Command command;
};

// Every key of the program, in the order they are tried: the first that
// fits a key event runs its command.
std::span<const KeyBinding> keyTable();

// The command of the first binding of the window (or of any window) that
// fits the key event: its key (for Ctrl keys the Latin letter on the key,
// also in a layout without Latin letters), its modifiers, Caps Lock (read
// from the event's native state) and the mouse buttons held.
std::optional<Command> commandOfKey(const QKeyEvent& key, KeyWindow window);

}  // namespace sorvane
