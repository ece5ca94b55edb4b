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
  text_.resize(last.textStart);
  sources_.resize(last.firstSource);
  translations_.resize(last.firstTranslation);
  records_.pop_back();
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
