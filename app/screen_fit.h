#pragma once

// Window bounds from the settings are fitted to the screens before they are
// applied: a stored size larger than every screen, or a position off all of
// them, would give a window that cannot be seen whole - and one of 100 000
// pixels a side costs gigabytes of backing store.

#include <vector>

namespace qorvi {

struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// `wanted` fitted to the screen it overlaps most (the first screen when it
// overlaps none): no larger than that screen and wholly on it. Unchanged
// without screens.
ScreenRect fitToScreens(const ScreenRect& wanted, const std::vector<ScreenRect>& screens);

} // namespace qorvi
