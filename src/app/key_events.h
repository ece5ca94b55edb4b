#pragma once

#include "controller/commands.h"

class QKeyEvent;

namespace sorvane {

// A Qt key event as the command table names keys: the key (for Ctrl keys
// the Latin letter on the key, also in a layout without Latin letters)
// and the modifiers, Caps Lock (read from the event's native state) and
// the mouse buttons held.
Key keyOf(const QKeyEvent& event, bool withCtrl);
KeyModifiers modifiersOf(const QKeyEvent& event);

}  // namespace sorvane
