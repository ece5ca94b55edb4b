#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// The system's 8-bit code page is UTF-8 here, whatever the locale. An invalid
// byte sequence decodes to U+FFFD; a UTF-16 code unit with no UTF-8 form (a
// lone surrogate) encodes as U+FFFD.
std::u16string fromLocal8Bit(std::string_view bytes);
std::string toLocal8Bit(std::u16string_view text);

}  // namespace sorvane
