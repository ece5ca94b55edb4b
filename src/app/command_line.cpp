#include "app/command_line.h"

#include "platform/path_codec.h"

namespace sorvane {

const char* const kCommandLineHelp =
    "Usage: sorvane [ORIGINAL.qm [MOD.qm]]\n"
    "       sorvane --update OLD.qm NEW.qm [MOD.qm]\n"
    "Compare and edit the texts of compiled Qt translation files.\n"
    "\n"
    "ORIGINAL.qm [MOD.qm]       open the Original and its Mod (an Original alone\n"
    "                           starts a new Mod)\n"
    "--update OLD NEW [MOD.qm]  open in \"Mod update\": the old original, the new\n"
    "                           original and the Mod made for the old one\n"
    "-h, --help                 show this help\n"
    "--version                  show the version\n";

namespace {

std::u16string absolute(const std::string& path, const std::string& folder) {
  if (path.starts_with('/') || folder.empty()) return pathFromNative(path);
  return pathFromNative(folder.ends_with('/') ? folder + path : folder + '/' + path);
}

CommandLine usageError(std::string error) {
  CommandLine line;
  line.action = CommandLine::Action::usageError;
  line.error = std::move(error);
  return line;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::string& folder) {
  CommandLine line;
  bool update = false;
  bool optionsEnded = false;
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    if (optionsEnded || !argument.starts_with('-') || argument == "-") {
      files.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      line.action = CommandLine::Action::help;
      return line;
    } else if (argument == "--version") {
      line.action = CommandLine::Action::version;
      return line;
    } else if (argument == "--update") {
      update = true;
    } else {
      return usageError("unknown option " + argument);
    }
  }
  if (update && (files.size() < 2 || files.size() > 3)) {
    return usageError("--update takes OLD.qm NEW.qm and an optional MOD.qm");
  }
  if (!update && files.size() > 2) return usageError("too many files: at most ORIGINAL.qm MOD.qm");
  if (files.empty()) return line;
  line.mode = update ? SessionMode::modUpdate : SessionMode::traditional;
  std::size_t next = 0;
  if (update) line.paths.oldOriginal = absolute(files[next++], folder);
  line.paths.newOriginal = absolute(files[next++], folder);
  if (next < files.size()) line.paths.mod = absolute(files[next], folder);
  return line;
}

}  // namespace sorvane
