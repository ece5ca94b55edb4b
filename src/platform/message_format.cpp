#include "platform/message_format.h"

#include "platform/text_codec.h"

namespace sorvane {

namespace {

std::u16string digits(std::uint64_t value, unsigned base) {
  std::u16string reversed;
  do {
    const auto digit = static_cast<unsigned>(value % base);
    reversed.push_back(static_cast<char16_t>(digit < 10 ? u'0' + digit : u'a' + digit - 10));
    value /= base;
  } while (value != 0);
  return {reversed.rbegin(), reversed.rend()};
}

void appendNumber(std::u16string& out, const FormatArg& arg, char16_t conversion, bool zeroPad,
                  std::size_t width) {
  std::u16string text;
  bool negative = false;
  if (conversion == u'x') {
    // Negative values show their 32-bit two's complement, as printf's %x does.
    const std::uint64_t value =
        arg.negative() ? static_cast<std::uint32_t>(0 - arg.magnitude()) : arg.magnitude();
    text = digits(value, 16);
  } else {
    negative = conversion == u'd' && arg.negative();
    text = digits(arg.magnitude(), 10);
  }
  const std::size_t length = text.size() + (negative ? 1 : 0);
  const std::size_t padding = width > length ? width - length : 0;
  if (!zeroPad) out.append(padding, u' ');
  if (negative) out.push_back(u'-');
  if (zeroPad) out.append(padding, u'0');
  out += text;
}

}  // namespace

std::u16string formatMessage(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(pattern.size() + 64);
  auto nextArg = args.begin();
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char16_t unit = pattern[i];
    if (unit != u'%') {
      out.push_back(unit);
      ++i;
      continue;
    }
    const std::size_t start = i++;
    if (i < pattern.size() && pattern[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    bool zeroPad = false;
    if (i < pattern.size() && pattern[i] == u'0') {
      zeroPad = true;
      ++i;
    }
    std::size_t width = 0;
    while (i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9') {
      width = width * 10 + static_cast<std::size_t>(pattern[i] - u'0');
      ++i;
    }
    if (i >= pattern.size()) {
      out.append(pattern.substr(start));
      break;
    }
    const char16_t conversion = pattern[i++];
    const bool known = conversion == u's' || conversion == u'S' || conversion == u'd' ||
                       conversion == u'u' || conversion == u'x';
    if (!known || nextArg == args.end()) {
      out.append(pattern.substr(start, i - start));
      continue;
    }
    const FormatArg& arg = *nextArg++;
    switch (arg.kind()) {
      case FormatArg::Kind::wideText:
        out += arg.wideText();
        break;
      case FormatArg::Kind::byteText:
        out += fromLocal8Bit(arg.byteText());
        break;
      case FormatArg::Kind::integer:
        appendNumber(out, arg, conversion, zeroPad, width);
        break;
    }
  }
  return out;
}

}  // namespace sorvane
