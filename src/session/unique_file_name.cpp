#include "session/unique_file_name.h"

#include "platform/paths.h"

#include <cstdint>

namespace sorvane {

namespace {

bool isDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

std::u16string decimal(std::uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string uniqueFileName(std::u16string_view path) {
  const std::u16string_view folder = folderPart(path);
  if ((!folder.empty() && !isFolder(folder)) || !isExistingFile(path)) return std::u16string(path);

  const std::u16string_view extension = extensionPart(path);
  const std::u16string_view name = fileNamePart(path);
  std::u16string_view stem = name.substr(0, name.size() - extension.size());
  std::size_t digitsStart = stem.size();
  while (digitsStart > 0 && isDigit(stem[digitsStart - 1])) --digitsStart;
  // Numbers too long for 64 bits are kept as part of the base.
  if (digitsStart == 0 || stem.size() - digitsStart > 18) digitsStart = stem.size();
  std::uint64_t number = 0;
  for (std::size_t i = digitsStart; i < stem.size(); ++i) number = number * 10 + (stem[i] - u'0');
  const std::u16string_view base = stem.substr(0, digitsStart);

  while (true) {
    ++number;
    std::u16string candidate(folder);
    candidate += base;
    candidate += decimal(number);
    candidate += extension;
    if (!pathExists(candidate)) return candidate;
  }
}

}  // namespace sorvane
