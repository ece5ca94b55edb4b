#include "textio/read_units.h"

#include "platform/utf8.h"

namespace sorvane {

std::vector<ReadUnit> ReadUnits::held() const {
  std::vector<ReadUnit> units;
  units.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) {
    const Unit unit = (*this)[i];
    ReadUnit copy;
    copy.id = unit.id();
    copy.keyed = unit.keyed();
    copy.fuzzy = unit.fuzzy();
    copy.line = unit.line();
    for (std::size_t k = 0; k < unit.sourceCount(); ++k) copy.sources.emplace_back(unit.source(k));
    for (std::size_t k = 0; k < unit.translationCount(); ++k)
      copy.translations.emplace_back(unit.translation(k));
    units.push_back(std::move(copy));
  }
  return units;
}

void ReadUnits::startUnit(std::int32_t line) {
  Record record;
  record.idStart = ids_.size();
  record.textStart = text_.size();
  record.line = line;
  record.firstSource = static_cast<std::uint32_t>(sources_.size());
  record.firstTranslation = static_cast<std::uint32_t>(translations_.size());
  records_.push_back(record);
}

void ReadUnits::appendId(std::string_view bytes) {
  ids_.insert(ids_.end(), bytes.begin(), bytes.end());
  records_.back().idLength += static_cast<std::uint32_t>(bytes.size());
}

void ReadUnits::appendId(std::u16string_view text) {
  const std::size_t old = ids_.size();
  ids_.resize(old + 3 * text.size());
  ids_.resize(old + encodeUtf8Into(ids_.data() + old, text));
  records_.back().idLength += static_cast<std::uint32_t>(ids_.size() - old);
}

void ReadUnits::setId(std::size_t i, std::string_view bytes) {
  records_[i].idStart = ids_.size();
  records_[i].idLength = static_cast<std::uint32_t>(bytes.size());
  ids_.insert(ids_.end(), bytes.begin(), bytes.end());
}

void ReadUnits::dropLastUnit() {
  const Record& last = records_.back();
  ids_.resize(last.idStart);
  // Nothing comes after the last unit's texts, wherever they are.
  if (last.textStart >= kTakenOver) {
    takenOver_.resize(last.textStart - kTakenOver);
  } else {
    text_.resize(last.textStart);
  }
  sources_.resize(last.firstSource);
  translations_.resize(last.firstTranslation);
  records_.pop_back();
}

void ReadUnits::append(ReadUnits&& other, std::int32_t lineShift) {
  const std::size_t idBase = ids_.size();
  const auto sourceBase = static_cast<std::uint32_t>(sources_.size());
  const auto translationBase = static_cast<std::uint32_t>(translations_.size());
  ids_.insert(ids_.end(), other.ids_.begin(), other.ids_.end());
  // Where a text of other starts once appended.
  std::size_t textBase = kTakenOver;
  std::size_t takenOverBase = 0;
  if (takenOver_.empty() && other.takenOver_.empty()) {
    takenOver_ = std::move(other.text_);
  } else {
    textBase = text_.size();
    takenOverBase = textBase + other.text_.size();
    text_.insert(text_.end(), other.text_.begin(), other.text_.end());
    text_.insert(text_.end(), other.takenOver_.begin(), other.takenOver_.end());
  }
  const auto moved = [textBase, takenOverBase](std::size_t start) {
    return start >= kTakenOver ? start - kTakenOver + takenOverBase : start + textBase;
  };
  records_.reserve(records_.size() + other.records_.size());
  for (Record record : other.records_) {
    record.idStart += idBase;
    record.textStart = moved(record.textStart);
    record.line += lineShift;
    record.firstSource += sourceBase;
    record.firstTranslation += translationBase;
    records_.push_back(record);
  }
  const auto spans = [&moved](LargeVector<Span>& into, const LargeVector<Span>& from) {
    into.reserve(into.size() + from.size());
    for (const Span& span : from) into.push_back({moved(span.start), span.length});
  };
  spans(sources_, other.sources_);
  spans(translations_, other.translations_);
}

void ReadUnits::appendText(std::string_view utf8) {
  const std::size_t start = text_.size();
  // Never more UTF-16 units than bytes.
  text_.resize(start + utf8.size());
  text_.resize(start + decodeUtf8Into(text_.data() + start, utf8));
}

void ReadUnits::appendText(std::u16string_view text) {
  text_.insert(text_.end(), text.begin(), text.end());
}

void ReadUnits::reserveForBytes(std::size_t bytes) {
  text_.reserve(bytes);
  // A unit takes at least some dozens of bytes in every format.
  records_.reserve(bytes / 64);
  sources_.reserve(bytes / 64);
  translations_.reserve(bytes / 64);
  ids_.reserve(bytes / 4);
}

}  // namespace sorvane
