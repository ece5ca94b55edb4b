#pragma once

#include "controller/window_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

// Every command of the window. The order is the order in which keys are
// tried: the first binding that fits a key press runs its command.
enum class CommandId : std::uint8_t {
  showSearchWindow,
  // The folder search window's own.
  toggleSubdirectories,
  openSearchResult,
  startSearch,
  // The mode, the files.
  chooseTraditional,
  chooseModUpdate,
  openFiles,
  saveMod,
  exportTexts,
  importTexts,
  closeFiles,
  // Editing.
  undo,
  redo,
  toggleChangeSame,
  makeDebugQm,
  findNext,
  nextColouredRow,
  previousColouredRow,
  nextProblemRow,
  previousProblemRow,
  focusFindBox,
  focusList,
  toggleControlsPanel,
  openEditors,
  storeEdit,
  dropEdit,
  deleteRowText,
  toModEditor,
  toOriginalEditor,
  copyOriginal,
  removeDropped,
  // Working through the rows.
  toggleFilterBar,
  replaceTexts,
  storeAndGoOn,
  nextUntranslatedRow,
  previousUntranslatedRow,
  // The translation memory.
  pretranslate,
  addToMemory,
  addFolderToMemory,
  useSuggestion1,
  useSuggestion2,
  useSuggestion3,
  useSuggestion4,
  useSuggestion5,
  // A key of the program that does nothing in the main window.
  ignoreKey,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::ignoreKey) + 1;

// A key as the table names it: a Latin letter ('A' to 'Z', whatever the
// keyboard layout shows on it), a digit ('0' to '9') or one of the keys
// after them.
enum class Key : std::uint16_t {
  none = 0,
  f2 = 0x100,
  f3,
  f8,
  enter,  // Return or the keypad's Enter
  escape,
  del,
  tab,
  backtab,  // Shift+Tab
};
constexpr Key letterKey(char letter) { return static_cast<Key>(letter); }

// How a key's modifiers must be for it to count.
enum class KeyPress : std::uint8_t {
  ctrl,          // Ctrl, not Shift; Alt not looked at
  ctrlNoAlt,     // Ctrl alone
  ctrlShift,     // Ctrl and Shift, not Alt
  ctrlAlt,       // Ctrl and Alt alone
  plain,         // no modifier, no mouse button held
  plainNoLocks,  // as plain, and Caps Lock off
  shift,         // Shift alone
};

// The modifiers of a key press as they are read at the time of the press.
struct KeyModifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool mouseButtonHeld = false;
  bool capsLock = false;
};

bool pressFits(KeyPress press, const KeyModifiers& modifiers);
bool pressNeedsCtrl(KeyPress press);

// In which window a key counts.
enum class KeyWindow : std::uint8_t { main, search, any };

// Where a key was sent, as far as the commands care.
enum class KeyTarget : std::uint16_t {
  list = 1 << 0,
  modEditor = 1 << 1,
  newOriginalEditor = 1 << 2,
  oldOriginalEditor = 1 << 3,
  pathBox = 1 << 4,
  findBox = 1 << 5,
  searchResults = 1 << 6,
  searchBox = 1 << 7,
  other = 1 << 8,
};
using KeyTargets = std::uint16_t;
constexpr KeyTargets targets(KeyTarget target) { return static_cast<KeyTargets>(target); }
constexpr KeyTargets kAnywhere = 0x1FF;
constexpr KeyTargets kRowEditors = targets(KeyTarget::modEditor) |
                                   targets(KeyTarget::newOriginalEditor) |
                                   targets(KeyTarget::oldOriginalEditor);

// What happens to a key that fits a binding's key and modifiers but was
// sent somewhere the command doesn't run.
enum class Elsewhere : std::uint8_t { passes, taken };

struct KeyBinding {
  Key key = Key::none;
  KeyPress press = KeyPress::plain;
  KeyWindow window = KeyWindow::main;
  KeyTargets where = kAnywhere;
  Elsewhere elsewhere = Elsewhere::passes;
  // The command runs only while its window is the active one; in any
  // other the key is taken and nothing runs.
  bool activeWindowOnly = false;
  // After the command the key goes on to the widget as well.
  bool passesOn = false;
};

// The widget a command shows as, and where it stands.
enum class CommandPart : std::uint8_t {
  none,         // keys only
  modeButtons,  // the command row, left: the mode
  fileButtons,  // the command row, right: the files
  editButtons,  // the edit row, left
  toolButtons,  // the edit row, right
  findRow,      // after the find box
  legend,       // the legend under the list
  filterBar,    // the filter bar above the list
  memoryPanel,  // the suggestions panel beside the info panel
};
enum class ButtonKind : std::uint8_t { push, radio, check };

// The members are in the order the table's rows read best, not the
// tightest one: the table has a few dozen rows.
struct CommandInfo {  // NOLINT(clang-analyzer-optin.performance.Padding)
  CommandId id;
  // The button's object name and caption ("&" marks its mnemonic), and
  // what it does, for its tooltip; a command of keys only has neither.
  const char* controlName = nullptr;
  std::u16string_view caption = {};
  std::u16string_view description = {};
  CommandPart part = CommandPart::none;
  ButtonKind kind = ButtonKind::push;
  std::array<KeyBinding, 2> keys{};
  // Whether the command runs now; its button is enabled exactly then. A
  // key of a command that can't run is taken and does nothing.
  bool (*enabled)(const WindowState&) = nullptr;
  // A radio or check button's state.
  bool (*checked)(const WindowState&) = nullptr;
};

std::span<const CommandInfo> commandTable();
const CommandInfo& commandInfo(CommandId id);

// What a key press comes to: a command to run (when fits says so), or a
// key that is taken without a command, or one that passes to the widget.
struct KeyOutcome {
  std::optional<CommandId> command = std::nullopt;
  bool taken = false;     // the key reaches no widget
  bool inactive = false;  // fitted, but its window is not the active one
};
KeyOutcome keyOutcome(Key key, const KeyModifiers& modifiers, KeyWindow window, KeyTarget target,
                      bool windowActive);

// "Ctrl+S", "F3", "Shift+F8": the key as a tooltip names it.
std::u16string keyText(const KeyBinding& binding);
// A button's tooltip: what the command does and its first key.
std::u16string commandTooltip(const CommandInfo& info);

}  // namespace sorvane
