#include "platform/case_mapping.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <memory>

namespace sorvane {

namespace {

using CaseTable = std::array<char16_t, 0x10000>;

// Case mapping sits in sorting and searching loops, so each direction is
// computed once for all 65,536 code units.
std::unique_ptr<CaseTable> buildTable(UChar32 (*map)(UChar32)) {
  auto table = std::make_unique<CaseTable>();
  for (UChar32 unit = 0; unit < 0x10000; ++unit) {
    const UChar32 mapped = (unit >= 0xD800 && unit <= 0xDFFF) ? unit : map(unit);
    (*table)[static_cast<std::size_t>(unit)] =
        static_cast<char16_t>(mapped <= 0xFFFF ? mapped : unit);
  }
  return table;
}

const CaseTable& upperTable() {
  static const std::unique_ptr<CaseTable> table = buildTable(&u_toupper);
  return *table;
}

const CaseTable& lowerTable() {
  static const std::unique_ptr<CaseTable> table = buildTable(&u_tolower);
  return *table;
}

}  // namespace

char16_t upperCaseUnit(char16_t unit) { return upperTable()[unit]; }

char16_t lowerCaseUnit(char16_t unit) { return lowerTable()[unit]; }

const char16_t* lowerCaseTable() { return lowerTable().data(); }

int compareUpperCased(std::u16string_view left, std::u16string_view right) {
  const CaseTable& table = upperTable();
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t a = table[left[i]];
    const char16_t b = table[right[i]];
    if (a != b) return a < b ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

}  // namespace sorvane
