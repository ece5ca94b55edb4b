#include "session/string_list_layout.h"

#include <algorithm>

namespace sorvane {

std::u16string rowNumberText(std::int32_t row, std::int32_t rowCount) {
  std::u16string digits;
  auto value = static_cast<std::uint32_t>(row < 0 ? 0 : row);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  std::size_t width = 1;
  for (std::int32_t largest = rowCount - 1; largest >= 10; largest /= 10) ++width;
  if (digits.size() < width) digits.insert(digits.begin(), width - digits.size(), u'0');
  return digits;
}

ColumnLayout computeColumnLayout(SessionMode mode, int clientWidth, int rowNumberWidth) {
  ColumnLayout layout;
  if (mode == SessionMode::modUpdate) {
    const int third = std::max(0, clientWidth / 3);
    layout.widths = {0, third, third, third};
    layout.oldOriginalCaptionX = 8;
    layout.newOriginalCaptionX = third + 8;
    layout.modifiedCaptionX = 2 * third + 8;
    return layout;
  }
  const int half = std::max(0, (clientWidth - rowNumberWidth) / 2);
  layout.widths = {rowNumberWidth, half, half, 0};
  layout.newOriginalCaptionX = rowNumberWidth + 8;
  layout.modifiedCaptionX = rowNumberWidth + half + 8;
  return layout;
}

int listFontHeightFromText(std::u16string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
  constexpr int kLargest = 10000;
  int height = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    height = std::min(kLargest, height * 10 + (text[at] - u'0'));
  }
  return height;
}

Rgb mixWithWhite(Rgb colour) {
  Rgb mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const Rgb channel = (colour >> shift) & 0xFF;
    mixed |= ((channel & 0xFE) / 2 + 0xFE / 2) << shift;
  }
  return mixed;
}

Rgb rowBackground(RowState state, bool selected, bool listHasFocus) {
  Rgb base = 0xFFFFFF;
  Rgb strong = 0x808080;
  switch (state) {
    case RowState::newString:
      base = 0xE0FFE0;
      strong = 0x008000;
      break;
    case RowState::dropped:
      base = 0xFFE0E0;
      strong = 0xFF0000;
      break;
    case RowState::changed:
      base = 0xE0E0FF;
      strong = 0x0000FF;
      break;
    case RowState::onlyInMod:
      base = 0xFFFFD6;
      break;
    case RowState::unchanged:
      break;
  }
  if (!selected) return base;
  // Pure yellow is used as it is; the others are mixed with white first.
  const Rgb focused = state == RowState::onlyInMod ? 0xFFFF00 : mixWithWhite(strong);
  return listHasFocus ? focused : mixWithWhite(focused);
}

}  // namespace sorvane
