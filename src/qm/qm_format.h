#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sorvane {

// The published QM magic number; a QM file starts with it.
inline constexpr std::array<std::uint8_t, 16> kQmMagic = {
    0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95, 0xCD, 0x21, 0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD};

// Block tags.
inline constexpr std::uint8_t kIndexBlockTag = 0x42;
inline constexpr std::uint8_t kMessagesBlockTag = 0x69;
inline constexpr std::uint8_t kContextBlockTag = 0x2F;
// Qt's further blocks.
inline constexpr std::uint8_t kLanguageBlockTag = 0xA7;
inline constexpr std::uint8_t kDependenciesBlockTag = 0x96;
inline constexpr std::uint8_t kNumerusRulesBlockTag = 0x88;

// Message record tags.
inline constexpr std::uint8_t kTranslationTag = 0x03;
inline constexpr std::uint8_t kRecordEndTag = 0x05;
inline constexpr std::uint8_t kSectionTag = 0x06;
inline constexpr std::uint8_t kSubsectionTag = 0x07;
inline constexpr std::uint8_t kCommentTag = 0x08;
// Qt's end of a record.
inline constexpr std::uint8_t kQtRecordEndTag = 0x01;
// A translation length that means "no translation".
inline constexpr std::uint32_t kAbsentTranslationLength = 0xFFFFFFFF;

// The magic and the index block tag, compared as one 17-byte header.
inline constexpr std::size_t kQmHeaderSize = 17;
// Header and the index block's length field.
inline constexpr std::size_t kQmMinimumSize = 21;

// The names in a dependencies block: Qt stores each as a byte length and
// UTF-16BE text. A name cut short ends the list.
std::vector<std::u16string> dependencyNames(std::span<const std::uint8_t> block);

// Swaps the two bytes of each of the byteCount / 2 leading 16-bit units of
// buffer, then stores a zero 16-bit unit at byte position byteCount. The
// buffer must hold byteCount + 2 bytes.
void swapUtf16Units(void* buffer, std::size_t byteCount);

// Reads a big-endian 32-bit number.
inline std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace sorvane
