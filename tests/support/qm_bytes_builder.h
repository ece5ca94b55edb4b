#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::test {

// Small pieces that assemble the bytes of QM files, so that tests build their
// inputs in place instead of keeping binary fixtures.
using Bytes = std::vector<std::uint8_t>;

Bytes be32(std::uint32_t value);
Bytes utf16Be(std::u16string_view text);
// UTF-16LE, as text files of the program are stored.
Bytes utf16Le(std::u16string_view text);
Bytes join(std::initializer_list<Bytes> parts);
Bytes bytesOf(std::string_view text);

// 0x03, n, the text as UTF-16BE.
Bytes translationItem(std::u16string_view text);
// tag, m, the bytes as given (add the terminating zero yourself).
Bytes byteTextItem(std::uint8_t tag, std::string_view stored);
// 0x05, the hash, 0x01: how the program's own writer ends a record.
Bytes recordEnd(std::uint32_t hash);
// A record in the shape the program's writer gives it.
Bytes writerRecord(std::uint32_t hash, std::u16string_view text, std::string_view section = {},
                   std::string_view subsection = {});

struct QmIndexEntry {
  std::uint32_t hash;
  std::uint32_t offset;
};

struct QmParts {
  std::vector<QmIndexEntry> index = {};
  Bytes indexPadding = {};  // extra bytes at the end of the index block
  Bytes messages = {};
  std::optional<Bytes> context = std::nullopt;
  // Qt's language and numerus rules blocks.
  std::optional<Bytes> language = std::nullopt;
  std::optional<Bytes> numerusRules = std::nullopt;
};

Bytes assembleQm(const QmParts& parts);

struct QmEntry {
  std::uint32_t hash = 0;
  std::u16string text;
  std::string section;
  std::string subsection;
};

// An entry as lrelease makes it: Qt's hash of the source text, the source
// text as the section, the context as the subsection; its text the source
// unless one is given.
QmEntry qtEntry(std::string_view source, std::string_view context, std::u16string text = {});

// A whole file with one record per entry, in the writer's shapes, with
// Qt's language block when a language is given.
Bytes buildQm(const std::vector<QmEntry>& entries, std::optional<Bytes> context = std::nullopt,
              std::string_view language = {});

}  // namespace sorvane::test
