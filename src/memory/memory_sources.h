#pragma once

#include "memory/translation_memory.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

struct MemorySourceOptions {
  // The language of a QM file's source texts, and of any file's that names
  // none.
  std::string sourceLanguage = "en";
  // The translations' language of a file that names none.
  std::string targetLanguage;
};

// Whether the memory reads a file of this name: .qm, .po, .xlf, .xliff,
// .ts and .tmx.
bool isMemorySourceName(std::u16string_view path);

// The files a memory learns from at a path: the file itself, or every file
// of those kinds in the folder and below, in name order.
std::vector<std::u16string> memorySourceFiles(std::u16string_view path);

// The translated segments of a QM, PO, XLIFF, TS or TMX file, by its
// extension: a QM file's source texts (Qt's, in the source language) with
// their translations in the file's language; a tool's file's sources with
// their translations, those it marks for review left out. Nothing, with
// the reason, when the file can't be read or names no language.
std::optional<std::vector<MemorySegment>> readMemorySource(std::u16string_view path,
                                                           const MemorySourceOptions& options,
                                                           std::u16string& error);

struct MemoryImportReport {
  std::int32_t files = 0;
  std::int64_t segments = 0;  // read from the files
  std::int64_t added = 0;     // of those, new to the memory
  // "FILE: reason" for each file that could not be read or added.
  std::vector<std::u16string> failures;
  bool stopped = false;
};

// Adds the files' segments to the memory, each file in one transaction.
// progress hears of each file before it is read (done of total) and stops
// the import when it returns false.
using MemoryImportProgress =
    std::function<bool(std::size_t done, std::size_t total, std::u16string_view file)>;
MemoryImportReport importIntoMemory(TranslationMemory& memory,
                                    std::span<const std::u16string> files,
                                    const MemorySourceOptions& options,
                                    const MemoryImportProgress& progress = {});

// The report as the user reads it, lines joined by "\n".
std::u16string memoryImportReportText(const MemoryImportReport& report);

// Writes every segment of the memory as a TMX 1.4b file, streamed; 0, or
// the errno of the failure (error has the memory's reason when it failed).
int writeTmx(TranslationMemory& memory, std::u16string_view path, std::u16string& error);

// The segments of a TMX file's bytes (which are parsed in place).
std::optional<std::vector<MemorySegment>> parseTmx(std::span<std::uint8_t> bytes,
                                                   std::string& error);

}  // namespace sorvane
