#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// A piece of two texts compared word by word.
struct DiffPiece {
  enum class Kind { same, removed, added };
  Kind kind;
  std::u16string_view text;  // into the text it comes from
};

// The words (and the white space between them) of before and after, as
// kept, removed and added: a shortest edit script, found by Myers' method.
// Texts of more than about 300 words are compared whole.
std::vector<DiffPiece> wordDiff(std::u16string_view before, std::u16string_view after);

// The difference on one line: after's words, with what was removed as
// "[-...-]" and what was added as "{+...+}".
std::u16string markedWordDiff(std::u16string_view before, std::u16string_view after);

}  // namespace sorvane
