#pragma once

#include <string>

namespace sorvane {

// The operating system's description of an error code (errno), without
// trailing blanks or line breaks.
std::u16string systemErrorText(int code);

}  // namespace sorvane
