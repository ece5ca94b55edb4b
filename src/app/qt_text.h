#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace sorvane {

// The core keeps UTF-16 as std::u16string; Qt's QString holds the same code
// units, so converting is a copy without decoding.
inline QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string toU16String(const QString& text) { return text.toStdU16String(); }

}  // namespace sorvane
