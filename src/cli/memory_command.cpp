#include "cli/memory_command.h"

#include "cli/json_line_writer.h"
#include "cli/rows_command.h"
#include "memory/session_memory.h"
#include "platform/text_codec.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/session.h"

#include <algorithm>
#include <iostream>

namespace sorvane {

namespace {

std::unique_ptr<TranslationMemory> openMemory(const MemoryChoice& choice, std::ostream& errors) {
  const std::u16string path = choice.path.empty() ? TranslationMemory::defaultPath() : choice.path;
  std::u16string error;
  std::unique_ptr<TranslationMemory> memory;
  if (!path.empty()) memory = TranslationMemory::open(path, error);
  if (!memory) {
    errors << "sorvane-cli: the translation memory " << toLocal8Bit(path)
           << " can't be used: " << toLocal8Bit(error.empty() ? u"no home folder" : error) << '\n';
  }
  return memory;
}

}  // namespace

int runMemoryImport(const MemoryChoice& choice, const std::vector<std::u16string>& paths,
                    const MemorySourceOptions& options, std::ostream& out, std::ostream& errors) {
  std::unique_ptr<TranslationMemory> memory = openMemory(choice, errors);
  if (!memory) return 1;
  std::vector<std::u16string> files;
  for (const std::u16string& path : paths) {
    std::vector<std::u16string> found = memorySourceFiles(path);
    files.insert(files.end(), found.begin(), found.end());
  }
  const MemoryImportReport report = importIntoMemory(*memory, files, options);
  for (const std::u16string& failure : report.failures) {
    errors << "sorvane-cli: " << toLocal8Bit(failure) << '\n';
  }
  JsonLineWriter json(out);
  json.beginObject();
  json.field("files", report.files);
  json.field("failed", static_cast<std::int32_t>(report.failures.size()));
  json.field("segments", report.segments);
  json.field("added", report.added);
  json.endObject();
  if (!json.flush()) return 1;
  return report.files == 0 && !files.empty() ? 1 : 0;
}

int runMemoryExport(const MemoryChoice& choice, std::u16string_view outPath, std::ostream& errors) {
  std::unique_ptr<TranslationMemory> memory = openMemory(choice, errors);
  if (!memory) return 1;
  std::u16string error;
  if (writeTmx(*memory, outPath, error) != 0) {
    errors << "sorvane-cli: " << toLocal8Bit(outPath) << " can't be written: " << toLocal8Bit(error)
           << '\n';
    return 1;
  }
  return 0;
}

int runMemoryLookup(const MemoryChoice& choice, std::u16string_view text, const MemoryLookup& query,
                    std::ostream& out, std::ostream& errors) {
  std::unique_ptr<TranslationMemory> memory = openMemory(choice, errors);
  if (!memory) return 1;
  std::u16string error;
  // Without a language, the suggestions in every language it holds.
  std::vector<std::string> languages = {query.targetLanguage};
  if (query.targetLanguage.empty()) {
    std::optional<std::vector<std::string>> held = memory->languages(error);
    if (!held) {
      errors << "sorvane-cli: the translation memory can't be read: " << toLocal8Bit(error) << '\n';
      return 1;
    }
    languages = std::move(*held);
  }
  std::optional<std::vector<MemorySuggestion>> suggestions = std::vector<MemorySuggestion>();
  for (const std::string& language : languages) {
    MemoryLookup inLanguage = query;
    inLanguage.targetLanguage = language;
    std::optional<std::vector<MemorySuggestion>> found = memory->lookup(text, inLanguage, error);
    if (!found) {
      errors << "sorvane-cli: the translation memory can't be read: " << toLocal8Bit(error) << '\n';
      return 1;
    }
    suggestions->insert(suggestions->end(), found->begin(), found->end());
  }
  std::stable_sort(
      suggestions->begin(), suggestions->end(),
      [](const MemorySuggestion& a, const MemorySuggestion& b) { return a.score > b.score; });
  if (suggestions->size() > query.limit) suggestions->resize(query.limit);
  JsonLineWriter json(out);
  for (const MemorySuggestion& suggestion : *suggestions) {
    json.beginObject();
    json.field("score", static_cast<std::int32_t>(suggestion.score));
    json.field("source", suggestion.source);
    json.field("target", suggestion.target);
    json.field("language", std::string_view(suggestion.targetLanguage));
    json.field("context", std::string_view(suggestion.context));
    json.field("origin", suggestion.origin);
    json.endObject();
  }
  return json.flush() ? 0 : 1;
}

int runPretranslate(const MemoryChoice& choice, const std::optional<std::u16string>& oldOriginal,
                    std::u16string_view original, std::u16string_view mod, std::u16string_view out,
                    const std::optional<PluralLanguage>& language, std::ostream& output,
                    DialogServices& dialogs) {
  Session session;
  SessionPaths paths{oldOriginal.value_or(u""), std::u16string(original), std::u16string(mod)};
  const SessionMode mode = oldOriginal ? SessionMode::modUpdate : SessionMode::traditional;
  if (!session.openSession(mode, paths, dialogs)) return 1;
  if (language) applyLanguage(session, *language, dialogs);
  if (memoryLanguage(session.modLanguage()).empty()) {
    std::cerr << "sorvane-cli: the Mod names no language; give it one with --language\n";
    return 1;
  }
  std::unique_ptr<TranslationMemory> memory = openMemory(choice, std::cerr);
  if (!memory) return 1;
  std::u16string error;
  const std::optional<std::vector<RowText>> texts =
      pretranslations(session, nullptr, *memory, error);
  if (!texts) {
    std::cerr << "sorvane-cli: the translation memory can't be read: " << toLocal8Bit(error)
              << '\n';
    return 1;
  }
  const std::int32_t filled = storeRowTexts(session, *texts);
  paths.mod = out;
  if (!writeModFile(session, paths, dialogs)) return 1;
  output << filled << '\n';
  return 0;
}

}  // namespace sorvane
