#pragma once

#include <QString>

#include <utility>

namespace sorvane {

// Makes a widget with the given object name, by which the hook, the
// settings and the tests know it.
template <typename Widget, typename... Args>
Widget* named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace sorvane
