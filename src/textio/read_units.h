#pragma once

#include "platform/large_allocation.h"
#include "platform/prefetch.h"
#include "textio/translation_units.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sorvane {

// The units read from a tool's file, held in a few large buffers rather
// than in strings of their own: a catalogue's file gives hundreds of
// thousands of units, and an allocation each would cost more than reading
// the file. Built a unit at a time, the last one's texts appended as the
// reader meets them.
class ReadUnits {
  struct Record;

 public:
  // One unit as views into the buffers, valid while the list is unchanged.
  class Unit {
   public:
    // Inline: an import asks for these a few times for every unit.
    std::string_view id() const {
      return {units_->ids_.data() + record().idStart, record().idLength};
    }
    bool keyed() const { return record().keyed; }
    bool fuzzy() const { return record().fuzzy; }
    std::int32_t line() const { return record().line; }
    std::size_t sourceCount() const {
      return nextRecordOr(&Record::firstSource, units_->sources_.size()) - record().firstSource;
    }
    std::u16string_view source(std::size_t form) const {
      return units_->text(units_->sources_[record().firstSource + form]);
    }
    std::size_t translationCount() const {
      return nextRecordOr(&Record::firstTranslation, units_->translations_.size()) -
             record().firstTranslation;
    }
    std::u16string_view translation(std::size_t form) const {
      return units_->text(units_->translations_[record().firstTranslation + form]);
    }

   private:
    friend class ReadUnits;
    Unit(const ReadUnits& units, std::size_t index) : units_(&units), index_(index) {}
    const Record& record() const { return units_->records_[index_]; }
    // A field of the next unit's record, or end for the last unit.
    std::size_t nextRecordOr(std::uint32_t Record::*field, std::size_t end) const {
      return index_ + 1 < units_->records_.size() ? units_->records_[index_ + 1].*field : end;
    }
    const ReadUnits* units_;
    std::size_t index_;
  };

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  Unit operator[](std::size_t i) const { return {*this, i}; }
  // Asks for what reading unit i needs from memory, in three steps, each
  // some units after the one before: for units read out of order, where
  // waiting for memory costs more than the reading.
  void prefetchRecord(std::size_t i) const { prefetchMemory(records_.data() + i); }
  void prefetchSpans(std::size_t i) const {
    const Record& record = records_[i];
    prefetchMemory(sources_.data() + record.firstSource);
    prefetchMemory(translations_.data() + record.firstTranslation);
  }
  void prefetchTexts(std::size_t i) const {
    const Record& record = records_[i];
    const auto fetch = [](std::u16string_view text) {
      prefetchMemory(text.data(), text.size() * sizeof(char16_t));
    };
    if (record.firstSource < sources_.size()) fetch(text(sources_[record.firstSource]));
    if (record.firstTranslation < translations_.size()) {
      fetch(text(translations_[record.firstTranslation]));
    }
  }
  // Each unit held whole, for the tests and readers that compare units.
  std::vector<ReadUnit> held() const;

  // A new unit, keyed, not for review, without texts.
  void startUnit(std::int32_t line);
  void appendId(std::string_view bytes);
  // An id read as UTF-16, appended as toUtf8 gives it.
  void appendId(std::u16string_view text);
  // Gives unit i, complete, its id after the fact.
  void setId(std::size_t i, std::string_view bytes);
  void setKeyed(bool keyed) { records_.back().keyed = keyed; }
  void setFuzzy(bool fuzzy) { records_.back().fuzzy = fuzzy; }
  bool lastFuzzy() const { return records_.back().fuzzy; }
  // Forgets the last unit and its texts.
  void dropLastUnit();
  // Adds other's units after these, their lines moved by lineShift: a file
  // read in parts, each into a list of its own. The texts of the first list
  // appended are taken over as they are, not copied.
  void append(ReadUnits&& other, std::int32_t lineShift);

  // A text is built at the end of the text buffer, from textStart() on,
  // then closed as the last unit's next source or translation.
  std::size_t textStart() const { return text_.size(); }
  std::size_t textLength(std::size_t start) const { return text_.size() - start; }
  void appendText(std::string_view utf8);
  void appendText(std::u16string_view text);
  void appendText(char16_t unit) { text_.push_back(unit); }
  void endSource(std::size_t start) { sources_.push_back({start, text_.size() - start}); }
  void endTranslation(std::size_t start) { translations_.push_back({start, text_.size() - start}); }
  void addSource(std::u16string_view text) {
    const std::size_t start = textStart();
    appendText(text);
    endSource(start);
  }
  void addTranslation(std::u16string_view text) {
    const std::size_t start = textStart();
    appendText(text);
    endTranslation(start);
  }
  // Makes room for a file's units ahead, from its size in bytes: its texts
  // never have more UTF-16 units than the file has bytes.
  void reserveForBytes(std::size_t bytes);

 private:
  struct Record {
    std::size_t idStart = 0;
    std::size_t textStart = 0;
    std::uint32_t idLength = 0;
    std::int32_t line = 0;
    std::uint32_t firstSource = 0;
    std::uint32_t firstTranslation = 0;
    bool keyed = true;
    bool fuzzy = false;
  };
  struct Span {
    std::size_t start = 0;
    std::size_t length = 0;
  };
  // Where a span or a record's text starts in the texts taken over.
  static constexpr std::size_t kTakenOver = std::size_t{1} << 62;
  std::u16string_view text(const Span& span) const {
    if (span.start >= kTakenOver)
      return {takenOver_.data() + (span.start - kTakenOver), span.length};
    return {text_.data() + span.start, span.length};
  }

  LargeVector<Record> records_;
  std::vector<char, UninitializedLargeAllocator<char>> ids_;
  std::vector<char16_t, UninitializedLargeAllocator<char16_t>> text_;
  std::vector<char16_t, UninitializedLargeAllocator<char16_t>> takenOver_;
  LargeVector<Span> sources_;
  LargeVector<Span> translations_;
};

}  // namespace sorvane
