#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace sorvane {

namespace {

bool onSomeScreen(const QRect& geometry) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry().intersects(geometry)) return true;
  }
  return QGuiApplication::screens().isEmpty();
}

}  // namespace

void applyPlacement(QWidget& window, const WindowPlacement& placement) {
  static constexpr std::int64_t kLimit = QWIDGETSIZE_MAX;
  const auto clamped = [](std::int64_t value, std::int64_t low) {
    return static_cast<int>(std::clamp(value, low, kLimit));
  };
  const std::int64_t width = std::int64_t{placement.right} - placement.left;
  const std::int64_t height = std::int64_t{placement.bottom} - placement.top;
  window.setGeometry(clamped(placement.left, -kLimit), clamped(placement.top, -kLimit),
                     clamped(width, 0), clamped(height, 0));
  window.resize(
      window.size().expandedTo(window.minimumSize()).expandedTo(window.minimumSizeHint()));
  if (!onSomeScreen(window.geometry())) {
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
      window.move(primary->availableGeometry().topLeft());
    }
  }
  // Fitted into the screen it lands on, so that no control is off it (a
  // size stored at another scale or on a larger screen).
  const QScreen* screen = QGuiApplication::screenAt(window.geometry().center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  QRect fitted(window.geometry().topLeft(),
               window.size().boundedTo(available.size()).expandedTo(window.minimumSize()));
  fitted.moveLeft(std::clamp(fitted.left(), available.left(),
                             std::max(available.left(), available.right() + 1 - fitted.width())));
  fitted.moveTop(std::clamp(fitted.top(), available.top(),
                            std::max(available.top(), available.bottom() + 1 - fitted.height())));
  window.setGeometry(fitted);
}

void placeFirstTime(QWidget& window) {
  const QScreen* screen =
      window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  QRect geometry(0, 0, std::min(available.width() * 2 / 3, 1200),
                 std::min(available.height() * 2 / 3, 800));
  geometry.moveCenter(available.center());
  window.setGeometry(geometry);
}

WindowPlacement placementOf(const QWidget& window) {
  const QRect normal =
      window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
  return {normal.left(), normal.top(), normal.left() + normal.width(),
          normal.top() + normal.height(), window.isMaximized()};
}

}  // namespace sorvane
