#pragma once

#include <ostream>
#include <string_view>

namespace sorvane {

class DialogServices;

// Searches the folder as the search window does and prints each found path
// on a line of its own, then the summary line. 1 when the folder doesn't
// exist.
int runSearch(std::u16string_view folder, std::u16string_view text, bool recurse, std::ostream& out,
              DialogServices& dialogs);

}  // namespace sorvane
