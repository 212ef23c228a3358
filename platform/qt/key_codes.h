#pragma once

// Qt key events as virtual-key codes and shift states, with one table.

#include "platform/keys.h"

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace qorvi {

// The virtual-key code of a Qt key; 0 when it has none.
std::uint16_t virtualKeyFromQt(int qtKey);
TShiftState shiftStateFromQt(Qt::KeyboardModifiers modifiers);

} // namespace qorvi
