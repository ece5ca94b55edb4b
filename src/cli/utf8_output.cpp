#include "cli/utf8_output.h"

#include "platform/text_codec.h"

namespace sorvane {

std::string toTerminalText(std::u16string_view text) {
  std::u16string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    lines.push_back(text[i]);
  }
  return toLocal8Bit(lines);
}

}  // namespace sorvane
