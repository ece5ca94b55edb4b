#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane {

class DialogServices;

// Opens the files as the Open button does ("Mod update" with an old
// original) and prints every problem the checks find, one JSON object a
// problem: "row" (from 0, as the window and `rows` number them), "check",
// "message", the row's "original" and "mod" texts and "form" as `dump`
// writes it; with summary, the number of problems of each check instead.
// With spelling, the Mod texts are checked against the dictionary of the
// language (the Mod's own when none is given), and the user's own words;
// a missing dictionary is said on standard error, with the package that
// holds it. Returns the process exit code: 0 when there is no problem, 1
// when there is any or opening failed.
struct CheckOptions {
  bool summary = false;
  bool spelling = true;
  std::string language;  // empty: the Mod's
};
int runCheck(const std::optional<std::u16string>& oldOriginal, std::u16string_view original,
             std::u16string_view mod, const CheckOptions& options, std::ostream& out,
             DialogServices& dialogs);

}  // namespace sorvane
