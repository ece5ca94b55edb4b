#pragma once

#include "platform/prefetch.h"
#include "qm/entry_forms.h"
#include "widetext/byte_string_list.h"
#include "widetext/wide_string_list.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace sorvane {

// The content of one QM file as parallel lists in file index order: entry i
// of every collected list describes the same message record.
struct QmDocument {
  WideStringList translations;
  // The record's section and subsection texts; empty when it has none.
  ByteStringList sectionTexts;
  ByteStringList subsectionTexts;
  std::vector<std::uint32_t> hashes;
  // The opaque bytes of the context block, without its tag and length;
  // empty when the file has none.
  std::vector<std::uint8_t> contextTable;

  // What Qt's own files add; all empty for a file of the plain format.
  // Qt's blocks, without their tag and length: the language (such as
  // "de_DE"), the files this one depends on, and the plural-form rules.
  std::vector<std::uint8_t> languageBlock;
  std::vector<std::uint8_t> dependenciesBlock;
  std::vector<std::uint8_t> numerusRulesBlock;
  // The records are in Qt's own shape: 8-bit texts without a terminating
  // zero, each record closed by Qt's end tag.
  bool qtRecords = false;
  // Each entry's comment (Qt's disambiguation), as far as the last entry
  // that has one.
  ByteStringList comments;
  // Each entry's plural forms after the first, and "no translation" marks.
  EntryForms forms;

  bool hasQtBlocks() const {
    return !languageBlock.empty() || !dependenciesBlock.empty() || !numerusRulesBlock.empty();
  }
  // The text of a form of an entry; form 0 is the entry's translation.
  std::u16string_view formText(std::int32_t entry, std::int32_t form) const {
    return form == 0 ? translations.view(entry) : forms.text(entry, form);
  }
  // Start fetching what reading an entry takes: where each list holds it,
  // then, once that has come, its texts.
  void prefetchEntrySlots(std::int32_t entry) const {
    if (entry < 0) return;
    translations.prefetchSlot(entry);
    sectionTexts.prefetchSlot(entry);
    subsectionTexts.prefetchSlot(entry);
    comments.prefetchSlot(entry);
    forms.prefetchSlot(entry);
    if (static_cast<std::size_t>(entry) < hashes.size()) prefetchMemory(hashes.data() + entry);
  }
  void prefetchEntryTexts(std::int32_t entry) const {
    if (entry < 0) return;
    translations.prefetchText(entry);
    sectionTexts.prefetchText(entry);
    subsectionTexts.prefetchText(entry);
    comments.prefetchText(entry);
    forms.prefetchText(entry);
  }

  // Inserts an entry before entry i (0 <= i <= count) into every list.
  void insertEntry(std::int32_t i, std::u16string_view text, std::uint32_t hash,
                   std::string_view section, std::string_view subsection, std::string_view comment,
                   unsigned marks, std::span<const EntryForms::Form> moreForms) {
    translations.insert(i, text);
    sectionTexts.insert(i, section);
    subsectionTexts.insert(i, subsection);
    hashes.insert(hashes.begin() + i, hash);
    if (i < comments.count()) {
      comments.insert(i, comment);
    } else if (!comment.empty()) {
      comments.set(i, comment);
    }
    forms.insert(i, marks, moreForms);
  }
  // Removes entry i from every list.
  void removeEntry(std::int32_t i) {
    translations.remove(i);
    sectionTexts.remove(i);
    subsectionTexts.remove(i);
    hashes.erase(hashes.begin() + i);
    comments.remove(i);
    forms.remove(i);
  }

  void clear() {
    translations.clear();
    sectionTexts.clear();
    subsectionTexts.clear();
    hashes.clear();
    hashes.shrink_to_fit();
    contextTable.clear();
    contextTable.shrink_to_fit();
    for (std::vector<std::uint8_t>* block :
         {&languageBlock, &dependenciesBlock, &numerusRulesBlock}) {
      block->clear();
      block->shrink_to_fit();
    }
    comments.clear();
    forms.clear();
    qtRecords = false;
  }
};

}  // namespace sorvane
