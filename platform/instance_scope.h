#pragma once

// Single-instance objects exist once per user and per desktop: the scope is a
// short hash of the display the program runs on ($WAYLAND_DISPLAY, else
// $DISPLAY, else "none"), since those values may hold "/" and long paths.

#include <string>

namespace qorvi {

std::string instanceScope();

} // namespace qorvi
