#include "platform/text_codec.h"

#include <unicode/ustring.h>

#include <climits>

namespace sorvane {

namespace {

constexpr UChar32 kReplacementCharacter = 0xFFFD;

// ICU takes int32_t lengths; longer inputs are converted in pieces that end
// on a character boundary.
constexpr std::size_t kPieceLimit = INT32_MAX / 4;

std::size_t utf8PieceLength(std::string_view bytes) {
  if (bytes.size() <= kPieceLimit) return bytes.size();
  std::size_t end = kPieceLimit;
  // Step back over continuation bytes so a sequence is not split.
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  return end;
}

std::size_t utf16PieceLength(std::u16string_view text) {
  if (text.size() <= kPieceLimit) return text.size();
  std::size_t end = kPieceLimit;
  if (text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
  return end;
}

}  // namespace

std::u16string fromLocal8Bit(std::string_view bytes) {
  std::u16string result;
  while (!bytes.empty()) {
    const std::size_t piece = utf8PieceLength(bytes);
    const std::size_t start = result.size();
    // UTF-16 never needs more code units than UTF-8 has bytes.
    result.resize(start + piece);
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(result.data() + start),
                         static_cast<int32_t>(piece), &written, bytes.data(),
                         static_cast<int32_t>(piece), kReplacementCharacter, nullptr, &status);
    if (U_FAILURE(status)) written = 0;
    result.resize(start + static_cast<std::size_t>(written));
    bytes.remove_prefix(piece);
  }
  return result;
}

std::string toLocal8Bit(std::u16string_view text) {
  std::string result;
  while (!text.empty()) {
    const std::size_t piece = utf16PieceLength(text);
    const std::size_t start = result.size();
    // At most three bytes per UTF-16 code unit (a surrogate pair gives four
    // bytes for two units).
    result.resize(start + piece * 3);
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(result.data() + start, static_cast<int32_t>(piece * 3), &written,
                       reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(piece),
                       kReplacementCharacter, nullptr, &status);
    if (U_FAILURE(status)) written = 0;
    result.resize(start + static_cast<std::size_t>(written));
    text.remove_prefix(piece);
  }
  return result;
}

}  // namespace sorvane
