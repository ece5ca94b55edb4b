#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// A free name for a new Mod file beside an existing file: the name without
// extension is split into a base and a trailing number n (0 when there is
// none; a name made only of digits is all base), and the first of base
// n+1, n+2, ... with the same extension that does not exist is returned. So
// de.qm gives de1.qm and lang7.qm gives lang8.qm. The path comes back
// unchanged when its folder or the file does not exist.
std::u16string uniqueFileName(std::u16string_view path);

}  // namespace sorvane
