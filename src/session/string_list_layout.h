#pragma once

#include "session/session.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

// The pieces of the string list that need no window: row numbers, column
// widths and caption places, row colours and cutting texts to a width.

// The row number padded with zeros to the digits of the largest row number:
// with 150 rows, 000 to 149.
std::u16string rowNumberText(std::int32_t row, std::int32_t rowCount);

// The widths of the four columns and the left edges of the three caption
// labels. Traditional: column 0 holds the row numbers, 1 the original and 2
// the Mod text; Mod update: column 0 is hidden and 1 to 3 hold the old
// original, new original and Mod texts.
struct ColumnLayout {
  std::array<int, 4> widths{};
  int oldOriginalCaptionX = 8;  // only used in Mod update
  int newOriginalCaptionX = 8;
  int modifiedCaptionX = 8;
};

// rowNumberWidth is the width of two spaces, the largest row number and two
// more spaces in the list's font, or 10 without rows.
ColumnLayout computeColumnLayout(SessionMode mode, int clientWidth, int rowNumberWidth);

// The column that shows the Mod text.
inline int modColumn(SessionMode mode) { return mode == SessionMode::traditional ? 2 : 3; }

// The list font's height in pixels from the size box's text: an optional
// "+" or "-", then the decimal digits up to the first other character. No
// digits give 0, the default height; a negative height counts as positive.
int listFontHeightFromText(std::u16string_view text);

// Colours as 0xRRGGBB.
using Rgb = std::uint32_t;

// A colour mixed with white: each channel of both halved after clearing its
// lowest bit, then added.
Rgb mixWithWhite(Rgb colour);

// The background of a row: the state's base colour, or when selected its
// strong colour mixed with white (once more when the list has no focus).
Rgb rowBackground(RowState state, bool selected, bool listHasFocus);

inline constexpr Rgb kGridColour = 0xC0C0C0;

// Cuts a text that is wider than maxWidth: characters are removed from its
// end until the rest followed by "..." fits, or nothing is left, and "..."
// is appended. widthOf measures a text. The longest fitting beginning is
// found by halving, as widths only grow with the text.
template <typename WidthOf>
std::u16string elideText(std::u16string_view text, int maxWidth, WidthOf widthOf) {
  if (widthOf(text) <= maxWidth) return std::u16string(text);
  std::size_t fits = 0;  // longest known beginning that fits with "..."
  std::size_t tooLong = text.size();
  std::u16string candidate;
  while (tooLong - fits > 1) {
    const std::size_t middle = fits + (tooLong - fits) / 2;
    candidate.assign(text.substr(0, middle));
    candidate += u"...";
    if (widthOf(candidate) <= maxWidth) {
      fits = middle;
    } else {
      tooLong = middle;
    }
  }
  std::u16string result(text.substr(0, fits));
  result += u"...";
  return result;
}

}  // namespace sorvane
