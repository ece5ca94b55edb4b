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

std::optional<QmFileBytes> buildQmFile(const QmDocument& document,
                                       std::span<const std::int32_t> order,
                                       std::span<const std::uint8_t> contextTable) {
  // In a sorted order each entry is a jump through memory. The entries are
  // therefore gathered once, in order, into one array; sizes, index and
  // records then read that array front to back.
  struct Entry {
    std::u16string_view text;
    std::string_view section;
    std::string_view subsection;
    std::uint32_t hash;
    std::uint32_t size;
  };
  std::vector<Entry> entries(order.size());
  std::uint64_t messagesLength = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::int32_t index = order[i];
    Entry& entry = entries[i];
    entry.text = document.translations.view(index);
    entry.section = document.sectionTexts.view(index);
    entry.subsection = document.subsectionTexts.view(index);
    entry.hash = document.hashes[static_cast<std::size_t>(index)];
    const std::uint64_t size =
        qmRecordSize(entry.text.size(), entry.section.size(), entry.subsection.size());
    if (size > kMaxLength) return std::nullopt;
    entry.size = static_cast<std::uint32_t>(size);
    messagesLength += size;
  }
  const std::uint64_t indexLength = 8 * std::uint64_t{order.size()};
  if (indexLength > kMaxLength || messagesLength > kMaxLength || contextTable.size() > kMaxLength) {
    return std::nullopt;
  }
  const std::uint64_t contextBlock = contextTable.empty() ? 0 : 5 + contextTable.size();
  QmFileBytes file(
      static_cast<std::size_t>(kQmMinimumSize + indexLength + 5 + messagesLength + contextBlock));

  ByteWriter out(file.data());
  out.bytes(kQmMagic.data(), kQmMagic.size());
  out.byte(kIndexBlockTag);
  out.number(indexLength);
  std::uint64_t offset = 0;
  for (const Entry& entry : entries) {
    out.number(entry.hash);
    out.number(offset);
    offset += entry.size;
  }
  out.byte(kMessagesBlockTag);
  out.number(messagesLength);

  std::vector<char16_t> scratch;
  constexpr std::size_t kPrefetchDistance = 8;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i + kPrefetchDistance < entries.size()) {
      const Entry& ahead = entries[i + kPrefetchDistance];
      __builtin_prefetch(ahead.text.data());
      __builtin_prefetch(ahead.section.data());
      __builtin_prefetch(ahead.subsection.data());
    }
    const Entry& entry = entries[i];
    const std::size_t byteCount = 2 * entry.text.size();
    scratch.assign(entry.text.begin(), entry.text.end());
    scratch.resize(entry.text.size() + 1);
    swapUtf16Units(scratch.data(), byteCount);
    out.byte(kTranslationTag);
    out.number(byteCount);
    out.bytes(scratch.data(), byteCount);
    if (entry.section.empty() && !entry.subsection.empty()) {
      // An empty section ahead of the subsection, closed by Qt's end tag so
      // that both readers stop right after the subsection.
      out.byte(kSectionTag);
      out.number(0);
      out.byteText(kSubsectionTag, entry.subsection);
      out.byte(0x01);
      continue;
    }
    if (!entry.subsection.empty()) {
      out.byteText(kSectionTag, entry.section);
      out.byteText(kSubsectionTag, entry.subsection);
    } else if (!entry.section.empty()) {
      out.byteText(kSubsectionTag, entry.section);
    }
    out.byte(kRecordEndTag);
    out.number(entry.hash);
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
