#pragma once

#include "session/control_states.h"
#include "session/session.h"

#include <cstdint>

namespace sorvane {

// What the window is in now, as the commands' rules read it.
struct WindowState {
  bool open = false;
  // The chosen mode; once files are open, theirs.
  SessionMode mode = SessionMode::traditional;
  bool modified = false;
  // A row is open in the row editors.
  bool editing = false;
  bool changeSame = false;
  bool findTextGiven = false;
  bool filterBarShown = false;
  std::int32_t selectedRow = -1;
  std::int32_t rowCount = 0;
  // The rows the list shows (all of them without a filter).
  std::int32_t shownRows = 0;
  // "Mod update": the rows dropped from the new original that the Mod
  // still holds.
  std::int32_t droppedRows = 0;
  ControlStates controls;
};

// What changed, as one notification tells it; observers read the rest
// from the controller.
using WindowChanges = unsigned;
struct WindowChange {
  // Sent alone and at once: the rows are about to be replaced; a view
  // must stop reading them until rowsReset.
  static constexpr WindowChanges rowsAboutToReset = 1U << 0;
  // The rows were replaced (Open, Close, a change of the Mod's language).
  static constexpr WindowChanges rowsReset = 1U << 1;
  // Mod texts were stored.
  static constexpr WindowChanges texts = 1U << 2;
  // What takes input, the title, the notice line, the legend.
  static constexpr WindowChanges controls = 1U << 3;
  static constexpr WindowChanges selection = 1U << 4;
  // The row editors opened or closed.
  static constexpr WindowChanges editing = 1U << 5;
  static constexpr WindowChanges paths = 1U << 6;
  static constexpr WindowChanges mode = 1U << 7;
  // The find text or what the last find came to.
  static constexpr WindowChanges find = 1U << 8;
  // The Mod editor is to show another text (editorTextRequest).
  static constexpr WindowChanges editorText = 1U << 9;
  // The keyboard focus is to move (focusRequest).
  static constexpr WindowChanges focus = 1U << 10;
  // The filter, the order or what was wrong with the filter's pattern.
  static constexpr WindowChanges filter = 1U << 11;
};

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void windowChanged(WindowChanges changes) = 0;
};

// Where the controller asks the keyboard focus to go.
enum class FocusTarget { none, list, findBox };

// What the last find came to, shown beside the find box.
enum class FindResult { none, found, notFound, wrapped };

}  // namespace sorvane
