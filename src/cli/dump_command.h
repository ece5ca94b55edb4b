#pragma once

#include <ostream>
#include <string_view>

namespace sorvane {

class DialogServices;

// Reads a QM file as an Original is read and prints one JSON object per
// entry and line, in index order. Returns the process exit code: 0, or 1
// when the file was refused (nothing is printed then).
int runDump(std::u16string_view path, std::ostream& out, DialogServices& dialogs);

}  // namespace sorvane
