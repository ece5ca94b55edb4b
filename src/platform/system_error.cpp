#include "platform/system_error.h"

#include "platform/text_codec.h"

#include <cstring>
#include <string_view>

namespace sorvane {

std::u16string systemErrorText(int code) {
  char buffer[256] = {};
  // The GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  std::string_view view = text != nullptr ? std::string_view(text) : std::string_view();
  while (!view.empty() && (view.back() == ' ' || view.back() == '\t' || view.back() == '\r' ||
                           view.back() == '\n')) {
    view.remove_suffix(1);
  }
  return fromLocal8Bit(view);
}

}  // namespace sorvane
