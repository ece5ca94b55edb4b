#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace sorvane {

// One argument of formatMessage: a UTF-16 text (%s), an 8-bit text (%S) or
// an integer (%d, %u, %x).
class FormatArg {
 public:
  enum class Kind { wideText, byteText, integer };

  FormatArg(std::u16string_view text) : kind_(Kind::wideText), wide_(text) {}
  FormatArg(const char16_t* text) : kind_(Kind::wideText), wide_(text) {}
  FormatArg(const std::u16string& text) : kind_(Kind::wideText), wide_(text) {}
  FormatArg(std::string_view bytes) : kind_(Kind::byteText), bytes_(bytes) {}
  FormatArg(const std::string& bytes) : kind_(Kind::byteText), bytes_(bytes) {}
  template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
  FormatArg(Integer value)
      : kind_(Kind::integer),
        negative_(value < 0),
        magnitude_(value < 0 ? 0 - static_cast<std::uint64_t>(value)
                             : static_cast<std::uint64_t>(value)) {}

  Kind kind() const { return kind_; }
  std::u16string_view wideText() const { return wide_; }
  std::string_view byteText() const { return bytes_; }
  bool negative() const { return negative_; }
  std::uint64_t magnitude() const { return magnitude_; }

 private:
  Kind kind_;
  std::u16string_view wide_;
  std::string_view bytes_;
  bool negative_ = false;
  std::uint64_t magnitude_ = 0;
};

// printf-style formatting of message texts: %s a UTF-16 text, %S an 8-bit
// text, %d and %u decimal, %x lower-case hexadecimal; a "0" flag and a width
// pad numbers (%08x, %02x); %% is a percent sign. A conversion without a
// matching argument is copied as it stands.
std::u16string formatMessage(std::u16string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace sorvane
