#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sorvane {

// A message's side in the Mod as it stands: whether the Mod has an entry
// for it, and then that entry whole. The undo log keeps these, so that an
// undo puts a message back exactly, its forms and "no translation" marks
// included.
struct ModMessage {
  struct Form {
    std::u16string text;
    bool absent = false;
  };

  bool present = false;
  std::int32_t entry = -1;  // its place among the Mod's entries
  std::uint32_t hash = 0;
  std::string section;
  std::string subsection;
  std::string comment;
  unsigned marks = 0;       // EntryForms marks
  std::vector<Form> forms;  // the first form included
};

// What one undoable change replaced: the messages of the rows it stored
// texts in, or, for a change of the Mod's language, that language with its
// plural rules and the Mod entries whose forms it changed.
struct ModSnapshot {
  struct Language {
    std::vector<std::uint8_t> languageBlock;
    std::vector<std::uint8_t> numerusRulesBlock;
  };

  std::vector<std::pair<std::int32_t, ModMessage>> rows;     // by row
  std::vector<std::pair<std::int32_t, ModMessage>> entries;  // by Mod entry
  std::optional<Language> language;
};

}  // namespace sorvane
