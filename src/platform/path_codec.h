#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// File names are bytes to the operating system, usually but not always
// UTF-8. They are converted to UTF-16 and back without loss: valid UTF-8
// decodes as usual, and every byte that is not part of valid UTF-8 becomes
// the lone surrogate U+DC00 + byte, which converts back to that byte. So
// every name the system lists can be opened again, and is shown with a
// replacement character where it can't be displayed.
std::u16string pathFromNative(std::string_view bytes);
// The byte form of a path for the operating system's file functions. A
// lone surrogate other than U+DC80 to U+DCFF (which no listed name yields)
// becomes U+FFFD.
std::string nativePath(std::u16string_view path);

}  // namespace sorvane
