#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// UTF-8 for a terminal or pipe: each CR LF becomes one line break.
std::string toTerminalText(std::u16string_view text);

}  // namespace sorvane
