#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// The user's home folder: $HOME when it is an absolute path, else the one
// the user database gives; empty when neither does.
std::u16string homeFolder();

// The program's folder of one kind of the desktop's base directories:
// $VARIABLE/sorvane when the variable holds an absolute path, else
// HOME/fallback/sorvane ("XDG_CONFIG_HOME" with ".config", "XDG_STATE_HOME"
// with ".local/state"); empty without a home folder. Without a trailing
// "/".
std::u16string programFolder(const char* variable, std::u16string_view fallback);

}  // namespace sorvane
