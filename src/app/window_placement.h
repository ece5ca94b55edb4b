#pragma once

#include "settings/settings_file.h"

class QWidget;

namespace sorvane {

// Puts a window where a stored placement says: the edges as stored (the
// size worked out in 64 bits and kept within what a window can have), no
// smaller than its contents need, back onto a screen when it would be off
// every one (a screen that was unplugged), and fitted into the available
// area of the screen it lands on.
void applyPlacement(QWidget& window, const WindowPlacement& placement);

// Where a window goes without a stored placement: centred on its screen,
// large enough to show the list comfortably.
void placeFirstTime(QWidget& window);

// The window's restored bounds and maximized state, to store.
WindowPlacement placementOf(const QWidget& window);

}  // namespace sorvane
