#pragma once

#include "memory/memory_sources.h"
#include "qm/plural_rules.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

class DialogServices;

// The memory the commands use: the one at path, or the user's.
struct MemoryChoice {
  std::u16string path;  // empty: TranslationMemory::defaultPath()
};

// Adds every file (folders read through) to the memory and prints the
// report. 0; 1 when the memory can't be opened or no file could be read.
int runMemoryImport(const MemoryChoice& choice, const std::vector<std::u16string>& paths,
                    const MemorySourceOptions& options, std::ostream& out, std::ostream& errors);
// Writes the memory as TMX. 0, or 1 on failure.
int runMemoryExport(const MemoryChoice& choice, std::u16string_view outPath, std::ostream& errors);
// Prints the suggestions for a text, one JSON object a line: "score",
// "source", "target", "language", "context", "origin"; in the query's
// language, or without one in each the memory holds, best first.
int runMemoryLookup(const MemoryChoice& choice, std::u16string_view text, const MemoryLookup& query,
                    std::ostream& out, std::ostream& errors);

// Opens the files as save does, fills every untranslated row with its
// exact match from the memory, prints the count and saves the Mod as out.
int runPretranslate(const MemoryChoice& choice, const std::optional<std::u16string>& oldOriginal,
                    std::u16string_view original, std::u16string_view mod, std::u16string_view out,
                    const std::optional<PluralLanguage>& language, std::ostream& output,
                    DialogServices& dialogs);

}  // namespace sorvane
