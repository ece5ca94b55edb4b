#pragma once

#include "session/session.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

class RowView;

struct ReplaceQuery {
  std::u16string pattern;
  // With regex, "$1" is a group of the match and "\" takes the next
  // character as it is; otherwise the text itself.
  std::u16string replacement;
  bool regex = false;
  bool matchCase = false;
  bool wholeWords = false;
  // "&" before a letter (Qt's accelerator mark) is not looked at when
  // matching; a mark inside a match goes into the replacement, before the
  // same letter where it has one.
  bool ignoreAccelerators = false;
};

// Replaces every match of a pattern in texts. Uses ICU's regular
// expressions (on UTF-16), compiled once.
class TextReplacer {
 public:
  // Nothing, with the reason in error, for an invalid regular expression or
  // a replacement that names a group the expression lacks.
  static std::optional<TextReplacer> compile(const ReplaceQuery& query,
                                             std::u16string* error = nullptr);
  TextReplacer(TextReplacer&&) noexcept;
  TextReplacer& operator=(TextReplacer&&) noexcept;
  ~TextReplacer();

  // The text with every match replaced; nothing when nothing matched.
  std::optional<std::u16string> replaced(std::u16string_view text);

 private:
  struct Compiled;
  explicit TextReplacer(std::unique_ptr<Compiled> compiled);
  std::unique_ptr<Compiled> compiled_;
};

// A Mod text a replace changes.
struct Replacement {
  std::int32_t row = 0;
  std::u16string before;
  std::u16string after;
};

// The replacements in the Mod texts of the rows (all rows without a view),
// in the view's order. Rows without a Mod text, or whose Mod cell takes no
// text, are left out; the original texts are never touched.
std::vector<Replacement> findReplacements(const Session& session, const RowView* rows,
                                          TextReplacer& replacer);

// Stores the replacements' texts as one undoable change; the number of
// texts that changed.
std::int32_t applyReplacements(Session& session, std::span<const Replacement> replacements);

}  // namespace sorvane
