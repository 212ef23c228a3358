#pragma once

// The events a window hands to the editor control's core, as plain values
// in client coordinates. The Qt widget fills them from its own events; the
// core never sees the toolkit.

#include "platform/keys.h"

#include <cstdint>

namespace qorvi {

enum class MouseButton { None, Left, Right, Middle };

struct MouseInput {
    int x = 0;
    int y = 0;
    MouseButton button = MouseButton::None; // the button pressed or released
    TShiftState shift = 0;                  // buttons held included
    std::int64_t time = 0;                  // milliseconds, for double clicks
};

struct WheelInput {
    int x = 0;
    int y = 0;
    // Lines to scroll: positive down (away from the user), negative up; the
    // window applies the system's lines per notch.
    int lines = 0;
    // Columns for a horizontal wheel: positive right.
    int columns = 0;
    TShiftState shift = 0;
};

} // namespace qorvi
