// sorvane-cli: Sorvane's command-line companion.

#include "cli/check_command.h"
#include "cli/dump_command.h"
#include "cli/memory_command.h"
#include "cli/replace_command.h"
#include "cli/rows_command.h"
#include "cli/save_command.h"
#include "cli/search_command.h"
#include "cli/stats_command.h"
#include "cli/stderr_dialog_services.h"
#include "cli/text_commands.h"
#include "platform/path_codec.h"
#include "platform/text_codec.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr int kUsageError = 2;

int usageError(const std::string& what) {
  std::cerr << "sorvane-cli: " << what << " (try 'sorvane-cli --help')\n";
  return kUsageError;
}

// Paths are made absolute, so that a file name given alone names a file in
// the current folder; an empty path stays empty.
std::u16string absolutePath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return sorvane::pathFromNative(error ? path : absolute.string());
}

int run(int argc, char** argv) {
  CLI::App app{"Sorvane's command-line companion: reads and saves QM translation files.",
               "sorvane-cli"};
  app.set_version_flag("--version", std::string("sorvane-cli ") + SORVANE_VERSION);
  app.require_subcommand(1);

  std::string dumpPath;
  CLI::App* dump = app.add_subcommand(
      "dump", "Print every entry of a QM file as one JSON object per line, in index order.");
  dump->add_option("FILE.qm", dumpPath, "The QM file to read")->required();

  std::string oldPath;
  std::string originalPath;
  std::string modPath;
  std::string outPath;
  CLI::App* save = app.add_subcommand(
      "save", "Open an original and its Mod, and save the Mod as a new QM file.");
  save->footer(
      "Opens ORIGINAL.qm and MOD.qm as the Open button does and saves the Mod as OUT.qm as the "
      "Save button does. With --old the mode is \"Mod update\": OLD.qm is the old original "
      "and ORIGINAL.qm the new one. An empty MOD (\"\") starts from a copy of the original.");
  save->add_option("--old", oldPath, "The old original (\"Mod update\")")->type_name("OLD.qm");
  save->add_option("ORIGINAL.qm", originalPath, "The original, or the new original")->required();
  save->add_option("MOD.qm", modPath, "The Mod file, or \"\"")->required();
  save->add_option("OUT.qm", outPath, "Where to save the Mod")->required();
  std::string saveLanguage;
  save->add_option("--language", saveLanguage,
                   "Give the Mod this language and its plural forms (ru, pt_BR, zh_CN)")
      ->type_name("CODE");
  bool dropRemoved = false;
  save->add_flag("--drop-removed", dropRemoved,
                 "With --old: leave out the strings dropped from the new original");

  std::string statsOld;
  std::string statsOriginal;
  std::string statsMod;
  std::string statsLanguage;
  CLI::App* stats = app.add_subcommand(
      "stats", "Print how far the Mod's translation has come, as one JSON object.");
  stats->footer(
      "\"messages\" of the (new) original, \"translated\", \"untranslated\", "
      "\"incompletePlural\" (plural messages Qt can't show because a form has no text) and "
      "\"problems\" (messages the checks find a problem in); \"words\" counts the same in the "
      "original's words; in \"Mod update\" \"legend\" gives each colour's rows and how many "
      "are left.");
  stats->add_option("--old", statsOld, "The old original (\"Mod update\")")->type_name("OLD.qm");
  stats->add_option("--language", statsLanguage, "Give the Mod this language first")
      ->type_name("CODE");
  stats->add_option("ORIGINAL.qm", statsOriginal, "The original, or the new original")->required();
  stats->add_option("MOD.qm", statsMod, "The Mod file, or \"\"")->required();

  std::string rowsOld;
  std::string rowsOriginal;
  std::string rowsMod;
  std::string rowsLanguage;
  bool rowsSummary = false;
  CLI::App* rows = app.add_subcommand(
      "rows", "Print the list as the window shows it after Open, one JSON object a row.");
  rows->footer(
      "Each row has \"row\" (from 0), \"state\" (\"new\", \"dropped\", \"changed\", "
      "\"mod-only\" or \"none\"), \"translation\" (\"untranslated\", \"incomplete\" or "
      "\"translated\"), its texts (\"oldOriginal\" in \"Mod update\", \"original\", "
      "\"mod\"), \"section\", \"subsection\" and, from a plural message's second form on, "
      "\"form\". --summary prints the legend's counts instead.");
  rows->add_option("--old", rowsOld, "The old original (\"Mod update\")")->type_name("OLD.qm");
  rows->add_option("--language", rowsLanguage, "Give the Mod this language first")
      ->type_name("CODE");
  rows->add_flag("--summary", rowsSummary, "Print the counts of each state instead");
  rows->add_option("ORIGINAL.qm", rowsOriginal, "The original, or the new original")->required();
  rows->add_option("MOD.qm", rowsMod, "The Mod file, or \"\"")->required();

  std::string checkOld;
  std::string checkOriginal;
  std::string checkMod;
  bool checkSummary = false;
  CLI::App* check = app.add_subcommand(
      "check", "Check every Mod text against its original and the Mod file for Qt's lookups.");
  check->footer(
      "Prints one JSON object a problem: \"row\" (from 0), \"check\" (place-markers, "
      "accelerators, accelerator-clash, punctuation, white-space, line-breaks, tags, lookup, "
      "plural-forms, pairing, spelling), "
      "\"message\", \"original\", \"mod\" and, from a plural message's second form on, \"form\". "
      "--summary prints the number of problems of each check instead. The spelling is checked "
      "with the Hunspell dictionary of the Mod's language (or --language), skipping place "
      "markers, accelerators, tags, URLs and the words of the original. The exit code is 1 when "
      "there is any problem, so that a build can stop on them.");
  check->add_option("--old", checkOld, "The old original (\"Mod update\")")->type_name("OLD.qm");
  check->add_flag("--summary", checkSummary, "Print the count of each check instead");
  bool checkNoSpelling = false;
  std::string checkLanguage;
  check->add_flag("--no-spelling", checkNoSpelling, "Leave the spelling out");
  check
      ->add_option("--language", checkLanguage,
                   "Check the spelling in this language (default: the Mod's)")
      ->type_name("CODE");
  check->add_option("ORIGINAL.qm", checkOriginal, "The original, or the new original")->required();
  check->add_option("MOD.qm", checkMod, "The Mod file")->required();

  std::string replaceOld;
  std::string replacePattern;
  std::string replaceWith;
  std::string replaceOriginal;
  std::string replaceMod;
  std::string replaceOut;
  sorvane::ReplaceQuery replaceQuery;
  CLI::App* replace = app.add_subcommand(
      "replace", "Replace a text in every Mod text, and save the Mod as a new QM file.");
  replace->footer(
      "Opens the files as save does, replaces every match of PATTERN in the Mod texts (the "
      "originals are never changed), prints the number of texts changed and saves the Mod as "
      "OUT.qm. Case is ignored unless --case is given. With --regex, PATTERN is an ICU "
      "regular expression and REPLACEMENT may name its groups as $1, $2...");
  replace->add_option("--old", replaceOld, "The old original (\"Mod update\")")
      ->type_name("OLD.qm");
  replace->add_flag("--regex", replaceQuery.regex, "PATTERN is a regular expression");
  replace->add_flag("--case", replaceQuery.matchCase, "Match case");
  replace->add_flag("--whole-word", replaceQuery.wholeWords, "Match whole words only");
  replace->add_flag("--ignore-accelerators", replaceQuery.ignoreAccelerators,
                    "Match as if the texts had no accelerator marks (&)");
  replace->add_option("PATTERN", replacePattern, "The text to replace")->required();
  replace->add_option("REPLACEMENT", replaceWith, "What replaces it")->required();
  replace->add_option("ORIGINAL.qm", replaceOriginal, "The original, or the new original")
      ->required();
  replace->add_option("MOD.qm", replaceMod, "The Mod file")->required();
  replace->add_option("OUT.qm", replaceOut, "Where to save the Mod")->required();

  const auto addFormatOptions = [](CLI::App* command, std::string& format, std::string& original) {
    command
        ->add_option("--format", format,
                     "lines (a UTF-16 text, one text a line), or po, xliff or ts (translation "
                     "tools' files, by key); by default from the file's extension: .po, "
                     ".xlf or .xliff, .ts, else lines")
        ->check(CLI::IsMember({"lines", "po", "xliff", "ts"}));
    command
        ->add_option("--original", original,
                     "po, xliff, ts: the original whose texts are the sources (default: the "
                     "Mod's own)")
        ->type_name("ORIGINAL.qm");
  };
  std::string exportMod;
  std::string exportOut;
  std::string exportFormat;
  std::string exportOriginal;
  CLI::App* exportCommand = app.add_subcommand(
      "export",
      "Write the Mod texts of a QM file to a UTF-16 text file, one text a line, or to a "
      "PO, XLIFF or TS file for translation tools.");
  addFormatOptions(exportCommand, exportFormat, exportOriginal);
  exportCommand->add_option("MOD.qm", exportMod, "The Mod file")->required();
  exportCommand->add_option("OUT", exportOut, "The file to write")->required();

  std::string importMod;
  std::string importIn;
  std::string importOut;
  std::string importFormat;
  std::string importOriginal;
  CLI::App* importCommand =
      app.add_subcommand("import",
                         "Replace the Mod texts by the lines of an edited export file, or by the "
                         "translations of a PO, XLIFF or TS file by key, and save.");
  addFormatOptions(importCommand, importFormat, importOriginal);
  importCommand->add_option("MOD.qm", importMod, "The Mod file")->required();
  importCommand->add_option("IN", importIn, "The edited file")->required();
  importCommand->add_option("OUT.qm", importOut, "Where to save the Mod")->required();

  std::string debugOriginal;
  std::string debugOut;
  std::string debugId;
  CLI::App* debugCommand = app.add_subcommand(
      "debug", "Make a debug translation: every text becomes an ID and its row number.");
  debugCommand->add_option("ORIGINAL.qm", debugOriginal, "The original")->required();
  debugCommand->add_option("OUT.qm", debugOut, "Where to save the debug translation")->required();
  debugCommand->add_option("--id", debugId, "The ID (default: the original's name)")
      ->type_name("ID");

  std::string searchFolderPath;
  std::string searchText;
  bool searchRecurse = false;
  CLI::App* searchCommand =
      app.add_subcommand("search", "List the QM files of a folder whose translations hold a text.");
  searchCommand->footer(
      "Prints each found file on a line of its own, then the summary line. Case is ignored; "
      "\"*\" and \"?\" are wildcards. Without TEXT every file named *.qm is listed.");
  searchCommand->add_option("FOLDER", searchFolderPath, "The folder to search")->required();
  searchCommand->add_option("TEXT", searchText, "The text to find");
  searchCommand->add_flag("--recurse", searchRecurse, "Search the subfolders too");

  std::string memoryPath;
  CLI::App* memory =
      app.add_subcommand("memory", "Work with the translation memory that suggests translations.");
  memory->require_subcommand(1);
  memory->footer(
      "The memory is the file memory.sqlite in $XDG_DATA_HOME/sorvane (~/.local/share/sorvane), "
      "shared with the window; --memory names another.");
  memory->add_option("--memory", memoryPath, "Use this memory file")->type_name("FILE.sqlite");
  std::vector<std::string> memoryImportPaths;
  sorvane::MemorySourceOptions memorySources;
  CLI::App* memoryImport = memory->add_subcommand(
      "import", "Learn the translations of QM, PO, XLIFF, TS and TMX files, or of a folder's.");
  memoryImport->footer(
      "A QM file's source texts are in --source-language (en unless given), its translations "
      "in the file's language; a file that names no language takes --language. A translation "
      "the memory holds already is not added again. Prints what was read and added.");
  memoryImport
      ->add_option("--source-language", memorySources.sourceLanguage,
                   "The language of QM files' source texts")
      ->type_name("CODE");
  memoryImport
      ->add_option("--language", memorySources.targetLanguage,
                   "The translations' language of files that name none")
      ->type_name("CODE");
  memoryImport->add_option("FILE", memoryImportPaths, "Files or folders to learn from")->required();
  std::string memoryExportPath;
  CLI::App* memoryExport =
      memory->add_subcommand("export", "Write every translation of the memory as a TMX file.");
  memoryExport->add_option("OUT.tmx", memoryExportPath, "The TMX file to write")->required();
  std::string lookupText;
  sorvane::MemoryLookup lookupQuery;
  CLI::App* memoryLookup = memory->add_subcommand(
      "lookup", "Print the memory's suggestions for a text, one JSON object a line.");
  memoryLookup->footer(
      "Each line has \"score\" (how alike the sources are, 0 to 100), \"source\", \"target\", "
      "\"language\", \"context\" and \"origin\" (the file it was learnt from), best first.");
  memoryLookup
      ->add_option("--language", lookupQuery.targetLanguage,
                   "The language of the translations; every language without it")
      ->type_name("CODE");
  memoryLookup->add_option("--threshold", lookupQuery.threshold, "The lowest score shown")
      ->check(CLI::Range(1, 100));
  memoryLookup->add_option("--limit", lookupQuery.limit, "How many suggestions at most")
      ->check(CLI::Range(1, 100));
  memoryLookup->add_option("TEXT", lookupText, "The source text")->required();

  std::string pretranslateOld;
  std::string pretranslateOriginal;
  std::string pretranslateMod;
  std::string pretranslateOut;
  std::string pretranslateLanguage;
  CLI::App* pretranslate = app.add_subcommand(
      "pretranslate",
      "Fill every untranslated row with the memory's translation of exactly its original text.");
  pretranslate->footer(
      "Opens the files as save does, fills each untranslated row with a translation of exactly "
      "its original text in the Mod's language (one of the row's context first), prints how "
      "many rows were filled and saves the Mod as OUT.qm.");
  pretranslate->add_option("--old", pretranslateOld, "The old original (\"Mod update\")")
      ->type_name("OLD.qm");
  pretranslate
      ->add_option("--language", pretranslateLanguage,
                   "Give the Mod this language first (ru, pt_BR, zh_CN)")
      ->type_name("CODE");
  pretranslate->add_option("--memory", memoryPath, "Use this memory file")
      ->type_name("FILE.sqlite");
  pretranslate->add_option("ORIGINAL.qm", pretranslateOriginal, "The original, or the new original")
      ->required();
  pretranslate->add_option("MOD.qm", pretranslateMod, "The Mod file, or \"\"")->required();
  pretranslate->add_option("OUT.qm", pretranslateOut, "Where to save the Mod")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return usageError(e.what());
  }

  // A language is checked before any file is read.
  std::optional<sorvane::PluralLanguage> language;
  for (const auto& [command, code] :
       {std::pair{save, &saveLanguage}, std::pair{rows, &rowsLanguage},
        std::pair{stats, &statsLanguage}, std::pair{pretranslate, &pretranslateLanguage}}) {
    if (!command->parsed() || command->count("--language") == 0) continue;
    language = sorvane::pluralLanguage(*code);
    if (!language) {
      return usageError("not a language code: " + *code +
                        " (a .ts file's language, such as ru, "
                        "pt_BR or zh_CN)");
    }
  }

  for (const std::string* code : {&memorySources.sourceLanguage, &memorySources.targetLanguage,
                                  &lookupQuery.targetLanguage}) {
    if (!code->empty() && sorvane::memoryLanguage(*code).empty()) {
      return usageError("not a language code: " + *code + " (such as en, de or pt_BR)");
    }
  }

  sorvane::StderrDialogServices dialogs(std::cerr);
  const sorvane::MemoryChoice memoryChoice{memoryPath.empty() ? std::u16string()
                                                              : absolutePath(memoryPath)};
  if (memoryImport->parsed()) {
    std::vector<std::u16string> paths;
    paths.reserve(memoryImportPaths.size());
    for (const std::string& path : memoryImportPaths) paths.push_back(absolutePath(path));
    return sorvane::runMemoryImport(memoryChoice, paths, memorySources, std::cout, std::cerr);
  }
  if (memoryExport->parsed()) {
    return sorvane::runMemoryExport(memoryChoice, absolutePath(memoryExportPath), std::cerr);
  }
  if (memoryLookup->parsed()) {
    return sorvane::runMemoryLookup(memoryChoice, sorvane::fromLocal8Bit(lookupText), lookupQuery,
                                    std::cout, std::cerr);
  }
  if (pretranslate->parsed()) {
    std::optional<std::u16string> oldOriginal;
    if (pretranslate->count("--old") != 0) oldOriginal = absolutePath(pretranslateOld);
    return sorvane::runPretranslate(memoryChoice, oldOriginal, absolutePath(pretranslateOriginal),
                                    absolutePath(pretranslateMod), absolutePath(pretranslateOut),
                                    language, std::cout, dialogs);
  }
  if (dump->parsed())
    return sorvane::runDump(sorvane::pathFromNative(dumpPath), std::cout, dialogs);
  if (save->parsed()) {
    std::optional<std::u16string> oldOriginal;
    if (save->count("--old") != 0) oldOriginal = absolutePath(oldPath);
    if (dropRemoved && !oldOriginal) return usageError("--drop-removed needs --old");
    return sorvane::runSave(oldOriginal, absolutePath(originalPath), absolutePath(modPath),
                            absolutePath(outPath), language, dropRemoved, dialogs);
  }
  if (replace->parsed()) {
    replaceQuery.pattern = sorvane::fromLocal8Bit(replacePattern);
    replaceQuery.replacement = sorvane::fromLocal8Bit(replaceWith);
    std::u16string error;
    std::optional<sorvane::TextReplacer> replacer =
        sorvane::TextReplacer::compile(replaceQuery, &error);
    if (!replacer) return usageError(sorvane::toLocal8Bit(error));
    std::optional<std::u16string> oldOriginal;
    if (replace->count("--old") != 0) oldOriginal = absolutePath(replaceOld);
    return sorvane::runReplace(oldOriginal, absolutePath(replaceOriginal), absolutePath(replaceMod),
                               absolutePath(replaceOut), *replacer, std::cout, dialogs);
  }
  if (stats->parsed()) {
    std::optional<std::u16string> oldOriginal;
    if (stats->count("--old") != 0) oldOriginal = absolutePath(statsOld);
    return sorvane::runStats(oldOriginal, absolutePath(statsOriginal), absolutePath(statsMod),
                             language, std::cout, dialogs);
  }
  if (check->parsed()) {
    std::optional<std::u16string> oldOriginal;
    if (check->count("--old") != 0) oldOriginal = absolutePath(checkOld);
    return sorvane::runCheck(
        oldOriginal, absolutePath(checkOriginal), absolutePath(checkMod),
        {.summary = checkSummary, .spelling = !checkNoSpelling, .language = checkLanguage},
        std::cout, dialogs);
  }
  if (rows->parsed()) {
    std::optional<std::u16string> oldOriginal;
    if (rows->count("--old") != 0) oldOriginal = absolutePath(rowsOld);
    return sorvane::runRows(oldOriginal, absolutePath(rowsOriginal), absolutePath(rowsMod),
                            language, rowsSummary, std::cout, dialogs);
  }
  const auto formatOf = [](const std::string& name, const std::u16string& path) {
    return name.empty() ? sorvane::exchangeFormatOfPath(path)
                        : sorvane::exchangeFormatNamed(name).value();
  };
  const auto optionalPath = [](const std::string& path) {
    return path.empty() ? std::u16string() : absolutePath(path);
  };
  if (exportCommand->parsed()) {
    const std::u16string out = absolutePath(exportOut);
    return sorvane::runExport(formatOf(exportFormat, out), optionalPath(exportOriginal),
                              absolutePath(exportMod), out, dialogs);
  }
  if (importCommand->parsed()) {
    const std::u16string in = absolutePath(importIn);
    return sorvane::runImport(formatOf(importFormat, in), optionalPath(importOriginal),
                              absolutePath(importMod), in, absolutePath(importOut), dialogs);
  }
  if (debugCommand->parsed()) {
    std::optional<std::u16string> id;
    if (debugCommand->count("--id") != 0) id = sorvane::fromLocal8Bit(debugId);
    return sorvane::runDebug(absolutePath(debugOriginal), absolutePath(debugOut), id, dialogs);
  }
  if (searchCommand->parsed()) {
    return sorvane::runSearch(sorvane::pathFromNative(searchFolderPath),
                              sorvane::fromLocal8Bit(searchText), searchRecurse, std::cout,
                              dialogs);
  }
  return usageError("no command given");
}

}  // namespace

int main(int argc, char** argv) {
  // Nothing escapes as an abort: what is left (running out of memory where
  // no command expects it) ends the program with a message.
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "sorvane-cli: " << error.what() << '\n';
    return 1;
  }
}
