#pragma once

#include "platform/Geometry.h"

// A mouse-button press as the window delivers it.
struct MouseEvent {
    int clickCount = 1; // 1 single press, 2 second press of a double-click, 3 of a triple
    FPoint locationInWindow;
};
