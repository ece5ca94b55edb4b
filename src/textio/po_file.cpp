#include "textio/po_file.h"

#include "textio/exchange_writers.h"

namespace sorvane {

std::optional<std::vector<std::uint8_t>> poFileBytes(const ExchangeHeader& header,
                                                     std::span<const TranslationUnit> units) {
  HeldUnits source(units);
  std::string out;
  if (!writePo(header, source, [&out](std::string_view piece) { out += piece; }))
    return std::nullopt;
  return std::vector<std::uint8_t>(out.begin(), out.end());
}

}  // namespace sorvane
