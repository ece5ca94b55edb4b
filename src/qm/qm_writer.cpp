#include "qm/qm_writer.h"

#include "qm/qm_format.h"

#include <cstring>
#include <limits>

namespace sorvane {

namespace {

constexpr std::uint64_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* out) : out_(out) {}

  void byte(std::uint8_t value) { *out_++ = value; }
  void number(std::uint64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    byte(static_cast<std::uint8_t>(v >> 24));
    byte(static_cast<std::uint8_t>(v >> 16));
    byte(static_cast<std::uint8_t>(v >> 8));
    byte(static_cast<std::uint8_t>(v));
  }
  void bytes(const void* data, std::size_t count) {
    if (count != 0) std::memcpy(out_, data, count);
    out_ += count;
  }
  // An 8-bit text item: tag, length with the terminating zero, text, zero.
  void byteText(std::uint8_t tag, std::string_view text) {
    byte(tag);
    number(text.size() + 1);
    bytes(text.data(), text.size());
    byte(0);
  }

 private:
  std::uint8_t* out_;
};

}  // namespace

std::uint64_t qmRecordSize(std::size_t translationUnits, std::size_t sectionLength,
                           std::size_t subsectionLength) {
  const std::uint64_t n = 2 * std::uint64_t{translationUnits};
  if (subsectionLength == 0) return sectionLength == 0 ? n + 11 : n + sectionLength + 17;
  if (sectionLength == 0) return n + subsectionLength + 17;
  return n + sectionLength + subsectionLength + 23;
}

std::optional<std::vector<std::uint8_t>> buildQmFile(const QmDocument& document,
                                                     std::span<const std::int32_t> order,
                                                     std::span<const std::uint8_t> contextTable) {
  // Every size is known before the first byte is written, so the file is
  // built front to back in one buffer.
  std::uint64_t messagesLength = 0;
  for (std::int32_t entry : order) {
    messagesLength += qmRecordSize(document.translations.view(entry).size(),
                                   document.sectionTexts.view(entry).size(),
                                   document.subsectionTexts.view(entry).size());
  }
  const std::uint64_t indexLength = 8 * std::uint64_t{order.size()};
  if (indexLength > kMaxLength || messagesLength > kMaxLength || contextTable.size() > kMaxLength) {
    return std::nullopt;
  }
  const std::uint64_t contextBlock = contextTable.empty() ? 0 : 5 + contextTable.size();
  std::vector<std::uint8_t> file(
      static_cast<std::size_t>(kQmMinimumSize + indexLength + 5 + messagesLength + contextBlock));

  ByteWriter out(file.data());
  out.bytes(kQmMagic.data(), kQmMagic.size());
  out.byte(kIndexBlockTag);
  out.number(indexLength);
  std::uint64_t offset = 0;
  for (std::int32_t entry : order) {
    out.number(document.hashes[static_cast<std::size_t>(entry)]);
    out.number(offset);
    offset += qmRecordSize(document.translations.view(entry).size(),
                           document.sectionTexts.view(entry).size(),
                           document.subsectionTexts.view(entry).size());
  }
  out.byte(kMessagesBlockTag);
  out.number(messagesLength);

  std::vector<char16_t> scratch;
  for (std::int32_t entry : order) {
    const std::u16string_view text = document.translations.view(entry);
    const std::string_view section = document.sectionTexts.view(entry);
    const std::string_view subsection = document.subsectionTexts.view(entry);
    const std::uint32_t hash = document.hashes[static_cast<std::size_t>(entry)];
    const std::size_t byteCount = 2 * text.size();
    scratch.assign(text.begin(), text.end());
    scratch.resize(text.size() + 1);
    swapUtf16Units(scratch.data(), byteCount);
    out.byte(kTranslationTag);
    out.number(byteCount);
    out.bytes(scratch.data(), byteCount);
    if (section.empty() && !subsection.empty()) {
      // An empty section ahead of the subsection, closed by Qt's end tag so
      // that both readers stop right after the subsection.
      out.byte(kSectionTag);
      out.number(0);
      out.byteText(kSubsectionTag, subsection);
      out.byte(0x01);
      continue;
    }
    if (!subsection.empty()) {
      out.byteText(kSectionTag, section);
      out.byteText(kSubsectionTag, subsection);
    } else if (!section.empty()) {
      out.byteText(kSubsectionTag, section);
    }
    out.byte(kRecordEndTag);
    out.number(hash);
    out.byte(0x01);
  }
  if (!contextTable.empty()) {
    out.byte(kContextBlockTag);
    out.number(contextTable.size());
    out.bytes(contextTable.data(), contextTable.size());
  }
  return file;
}

}  // namespace sorvane
