#include "session/undo_log.h"

namespace sorvane {

void UndoLog::clear() {
  for (std::u16string& line : lines_) line = std::u16string();
  for (auto& snapshot : snapshots_) snapshot.reset();
  first_ = 0;
  undoPos_ = 0;
}

void UndoLog::push(std::int32_t row, std::u16string_view oldText,
                   std::shared_ptr<const ModSnapshot> snapshot) {
  if (undoPos_ == kLast) {
    // Every entry moves down one line and the oldest undoable one is lost:
    // the ring turns by one and its new last line starts empty.
    first_ = (first_ + 1) % kLines;
    lines_[slot(kLast)].clear();
    snapshots_[slot(kLast)].reset();
  } else {
    ++undoPos_;
    for (int i = undoPos_; i <= kLast && !lines_[slot(i)].empty(); ++i) {
      lines_[slot(i)].clear();
      snapshots_[slot(i)].reset();
    }
  }
  lines_[slot(undoPos_)] = format(row, oldText);
  snapshots_[slot(undoPos_)] = std::move(snapshot);
}

std::optional<UndoLog::Entry> UndoLog::undoEntry() const {
  if (undoPos_ == 0) return std::nullopt;
  Entry entry = parse(line(undoPos_));
  entry.snapshot = snapshots_[slot(undoPos_)];
  return entry;
}

void UndoLog::markUndone(std::int32_t row, std::u16string_view replacedText,
                         std::shared_ptr<const ModSnapshot> replaced) {
  lines_[slot(undoPos_)] = format(row, replacedText);
  snapshots_[slot(undoPos_)] = std::move(replaced);
  --undoPos_;
}

std::optional<UndoLog::Entry> UndoLog::redoEntry() const {
  if (!canRedo()) return std::nullopt;
  Entry entry = parse(line(undoPos_ + 1));
  entry.snapshot = snapshots_[slot(undoPos_ + 1)];
  return entry;
}

void UndoLog::markRedone(std::int32_t row, std::u16string_view replacedText,
                         std::shared_ptr<const ModSnapshot> replaced) {
  ++undoPos_;
  lines_[slot(undoPos_)] = format(row, replacedText);
  snapshots_[slot(undoPos_)] = std::move(replaced);
}

UndoLog::Entry UndoLog::parse(std::u16string_view line) {
  const std::size_t equals = line.find(u'=');
  Entry entry;
  std::u16string_view number = line.substr(0, equals);
  const bool negative = number.starts_with(u'-');
  if (negative) number.remove_prefix(1);
  for (char16_t digit : number) {
    if (digit < u'0' || digit > u'9') break;
    entry.row = entry.row * 10 + (digit - u'0');
  }
  if (negative) entry.row = -entry.row;
  if (equals != std::u16string_view::npos) entry.text = std::u16string(line.substr(equals + 1));
  return entry;
}

std::u16string UndoLog::format(std::int32_t row, std::u16string_view text) {
  std::u16string line;
  const std::string number = std::to_string(row);
  line.reserve(number.size() + 1 + text.size());
  line.assign(number.begin(), number.end());
  line.push_back(u'=');
  line.append(text);
  return line;
}

}  // namespace sorvane
