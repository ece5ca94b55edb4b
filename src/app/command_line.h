#pragma once

#include "session/session.h"

#include <optional>
#include <string>
#include <vector>

namespace sorvane {

// What the program's command line asks for.
struct CommandLine {
  enum class Action { run, help, version, usageError };
  Action action = Action::run;
  // The files to open at start-up, when any were named.
  std::optional<SessionMode> mode;
  SessionPaths paths;
  std::string error;
};

// Reads the arguments after the program name: [ORIGINAL.qm [MOD.qm]] or
// --update OLD.qm NEW.qm [MOD.qm], with --help and --version. Paths keep
// their bytes (see pathFromNative) and are made absolute against folder.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::string& folder);

extern const char* const kCommandLineHelp;

}  // namespace sorvane
