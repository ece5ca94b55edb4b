#pragma once

#include "widetext/line_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

// What Qt's QM files add to an entry's one translation: the further plural
// forms of a message, which forms are "no translation" (stored with the
// length 0xFFFFFFFF; their text is empty), and how Qt wrote the record. The first form's text stays
// in the document's translations; this list holds the rest. An entry without either (every entry of
// a plain file) costs nothing: the list only grows as far as the last entry that has something.
class EntryForms {
 public:
  struct Form {
    std::u16string_view text;
    bool absent = false;
  };

  // Marks of an entry, as bits.
  static constexpr unsigned kFirstAbsent = 1;  // the first form is "no translation"
  // How the record names its message, where the item tags say more than
  // the section and subsection texts do. Without a mark a lone section text
  // is Qt's context (0x07), and a section with a subsection are source text
  // (0x06) and context (0x07).
  // The section text is Qt's source text, followed by an empty context.
  static constexpr unsigned kSourceAndContext = 2;
  // The section text is Qt's source text, with no context at all.
  static constexpr unsigned kSourceOnly = 4;
  // Section and subsection are both contexts (0x07 twice).
  static constexpr unsigned kContextTwice = 8;
  // An empty section text is a context item, not no item.
  static constexpr unsigned kContextOnly = 16;
  static constexpr unsigned kShapeMarks =
      kSourceAndContext | kSourceOnly | kContextTwice | kContextOnly;

  bool empty() const { return lines_.size() == 0; }
  unsigned marks(std::int32_t entry) const;
  // The number of translations of the entry; 1 without plural forms.
  std::int32_t count(std::int32_t entry) const;
  // Whether form of the entry is "no translation".
  bool absent(std::int32_t entry, std::int32_t form) const;
  // The text of form (1 <= form < count); empty outside.
  std::u16string_view text(std::int32_t entry, std::int32_t form) const;
  // Start fetching what reading the entry's forms takes: where they are,
  // then what they are.
  void prefetchSlot(std::int32_t entry) const {
    lines_.prefetchSlot(static_cast<std::size_t>(entry));
  }
  void prefetchText(std::int32_t entry) const {
    lines_.prefetchText(static_cast<std::size_t>(entry));
  }

  // Replaces what the entry has beyond its first translation.
  void set(std::int32_t entry, unsigned marks, std::span<const Form> moreForms);
  // Stores the text of form (>= 1), adding forms up to it that are "no
  // translation"; an empty text for the last form removes that form. The
  // "no translation" mark stays: a marked form is written as one only
  // while its text is empty, so emptying it again brings the mark back.
  // With keepEmptyLast an empty text is stored as it is, the form stays.
  void setText(std::int32_t entry, std::int32_t form, std::u16string_view text,
               bool keepEmptyLast = false);
  // Marks form (>= 1) as "no translation" or not; the form must exist.
  void setAbsent(std::int32_t entry, std::int32_t form, bool absent);
  // Sets the entry's marks, keeping its forms.
  void setMarks(std::int32_t entry, unsigned marks);
  // Keeps the first count forms of the entry, adding "no translation" ones
  // up to count.
  void resize(std::int32_t entry, std::int32_t count);
  // Inserts an entry before entry (the entries from it on move down).
  void insert(std::int32_t entry, unsigned marks, std::span<const Form> moreForms);
  // Makes entry to (not before the last entry stored here) the same as
  // entry from, sharing its storage.
  void addCopyOf(std::int32_t from, std::int32_t to);
  // Removes the entry; the entries after it move up.
  void remove(std::int32_t entry);
  void clear() { lines_.clear(); }

 private:
  // Each line: 0x40 plus the entry's marks, then for each further form a
  // U+0000, 'A' (absent) or 'P' (present) and its text. A form's text is
  // stored up to its first U+0000, as a first form is, so the separators
  // can't be mistaken. An empty line is one present form without marks.
  std::u16string_view line(std::int32_t entry) const;
  void store(std::int32_t entry, std::u16string_view encoded);

  LineStore<char16_t> lines_;
};

}  // namespace sorvane
