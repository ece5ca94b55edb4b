#pragma once

#include "session/mod_message.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// The undo and redo log: 1000 lines, each empty or an entry "row=text" that
// holds the row's other text (before an undo the text the row had before its
// change; after it the text it had before the undo). Lines 1 to undoPos can
// be undone, the latest at undoPos; lines after undoPos up to the first
// empty line can be redone. Line 0 is never undone, so at most 999 steps can
// be undone.
//
// The lines form a ring, so that dropping the oldest entry when the log is
// full moves nothing. Beside each line the log keeps what the change
// replaced in the Mod, so that undo and redo put it back exactly; a change
// of the Mod's language has the row -1.
class UndoLog {
 public:
  static constexpr int kLines = 1000;
  static constexpr int kLast = kLines - 1;

  struct Entry {
    std::int32_t row = 0;
    std::u16string text;
    std::shared_ptr<const ModSnapshot> snapshot;
  };

  UndoLog() { clear(); }

  // 1000 empty lines, undoPos 0.
  void clear();
  int undoPos() const { return undoPos_; }
  std::u16string_view line(int i) const { return lines_[slot(i)]; }

  // Records a change of row whose text was oldText; drops what could be
  // redone, and the oldest entry when the log is full.
  void push(std::int32_t row, std::u16string_view oldText,
            std::shared_ptr<const ModSnapshot> snapshot = {});

  bool canUndo() const { return undoPos_ > 0; }
  bool canRedo() const { return undoPos_ < kLast && !line(undoPos_ + 1).empty(); }

  // The entry an undo applies, and after it is applied the row's text it
  // replaced, which takes the entry's place; undoPos moves down.
  std::optional<Entry> undoEntry() const;
  void markUndone(std::int32_t row, std::u16string_view replacedText,
                  std::shared_ptr<const ModSnapshot> replaced = {});
  // The entry a redo applies, and the row's text it replaced; undoPos moves up.
  std::optional<Entry> redoEntry() const;
  void markRedone(std::int32_t row, std::u16string_view replacedText,
                  std::shared_ptr<const ModSnapshot> replaced = {});

  // Splits "row=text" at its first "=".
  static Entry parse(std::u16string_view line);
  static std::u16string format(std::int32_t row, std::u16string_view text);

 private:
  std::size_t slot(int i) const { return (first_ + static_cast<std::size_t>(i)) % kLines; }
  std::array<std::u16string, kLines> lines_;
  std::array<std::shared_ptr<const ModSnapshot>, kLines> snapshots_;
  std::size_t first_ = 0;
  int undoPos_ = 0;
};

}  // namespace sorvane
