#include "support/qm_bytes_builder.h"

#include "checks/translation_checks.h"
#include "platform/utf8.h"
#include "qm/qm_format.h"

namespace sorvane::test {

Bytes be32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes utf16Be(std::u16string_view text) {
  Bytes bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    bytes.push_back(static_cast<std::uint8_t>(unit));
  }
  return bytes;
}

Bytes utf16Le(std::u16string_view text) {
  Bytes bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes translationItem(std::u16string_view text) {
  return join(
      {{kTranslationTag}, be32(static_cast<std::uint32_t>(text.size() * 2)), utf16Be(text)});
}

Bytes byteTextItem(std::uint8_t tag, std::string_view stored) {
  return join({{tag}, be32(static_cast<std::uint32_t>(stored.size())), bytesOf(stored)});
}

Bytes recordEnd(std::uint32_t hash) { return join({{kRecordEndTag}, be32(hash), {0x01}}); }

Bytes writerRecord(std::uint32_t hash, std::u16string_view text, std::string_view section,
                   std::string_view subsection) {
  const std::string sectionStored = std::string(section) + '\0';
  const std::string subsectionStored = std::string(subsection) + '\0';
  if (subsection.empty() && section.empty()) return join({translationItem(text), recordEnd(hash)});
  if (subsection.empty()) {
    return join(
        {translationItem(text), byteTextItem(kSubsectionTag, sectionStored), recordEnd(hash)});
  }
  return join({translationItem(text), byteTextItem(kSectionTag, sectionStored),
               byteTextItem(kSubsectionTag, subsectionStored), recordEnd(hash)});
}

Bytes assembleQm(const QmParts& parts) {
  Bytes index;
  for (const QmIndexEntry& entry : parts.index) {
    const Bytes hash = be32(entry.hash);
    const Bytes offset = be32(entry.offset);
    index.insert(index.end(), hash.begin(), hash.end());
    index.insert(index.end(), offset.begin(), offset.end());
  }
  index.insert(index.end(), parts.indexPadding.begin(), parts.indexPadding.end());
  Bytes file(kQmMagic.begin(), kQmMagic.end());
  if (parts.language) {
    file = join({file,
                 {kLanguageBlockTag},
                 be32(static_cast<std::uint32_t>(parts.language->size())),
                 *parts.language});
  }
  file = join({file,
               {kIndexBlockTag},
               be32(static_cast<std::uint32_t>(index.size())),
               index,
               {kMessagesBlockTag},
               be32(static_cast<std::uint32_t>(parts.messages.size())),
               parts.messages});
  if (parts.context) {
    file = join({file,
                 {kContextBlockTag},
                 be32(static_cast<std::uint32_t>(parts.context->size())),
                 *parts.context});
  }
  if (parts.numerusRules) {
    file = join({file,
                 {kNumerusRulesBlockTag},
                 be32(static_cast<std::uint32_t>(parts.numerusRules->size())),
                 *parts.numerusRules});
  }
  return file;
}

QmEntry qtEntry(std::string_view source, std::string_view context, std::u16string text) {
  return {qtMessageHash(source, ""), text.empty() ? fromUtf8(source) : std::move(text),
          std::string(source), std::string(context)};
}

Bytes buildQm(const std::vector<QmEntry>& entries, std::optional<Bytes> context,
              std::string_view language) {
  QmParts parts;
  parts.context = std::move(context);
  if (!language.empty()) parts.language = bytesOf(language);
  for (const QmEntry& entry : entries) {
    parts.index.push_back({entry.hash, static_cast<std::uint32_t>(parts.messages.size())});
    const Bytes record = writerRecord(entry.hash, entry.text, entry.section, entry.subsection);
    parts.messages.insert(parts.messages.end(), record.begin(), record.end());
  }
  return assembleQm(parts);
}

}  // namespace sorvane::test
