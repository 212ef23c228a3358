#include "app/screen_fit.h"

#include <algorithm>
#include <cstdint>

namespace qorvi {

namespace {

// Bounds may be anything a settings file holds, so sums are taken wide.
std::int64_t overlap(std::int64_t a, std::int64_t aLength, std::int64_t b, std::int64_t bLength) {
    return std::max<std::int64_t>(0, std::min(a + aLength, b + bLength) - std::max(a, b));
}

int place(int start, int length, int screenStart, int screenLength) {
    const std::int64_t last = std::int64_t{screenStart} + screenLength - length;
    return static_cast<int>(
        std::clamp<std::int64_t>(start, screenStart, std::max<std::int64_t>(screenStart, last)));
}

} // namespace

ScreenRect fitToScreens(const ScreenRect& wanted, const std::vector<ScreenRect>& screens) {
    if (screens.empty())
        return wanted;
    const ScreenRect* best = &screens.front();
    std::int64_t bestArea = 0;
    for (const auto& screen : screens) {
        const std::int64_t area = overlap(wanted.left, std::max(wanted.width, 1), screen.left, screen.width) *
                                  overlap(wanted.top, std::max(wanted.height, 1), screen.top, screen.height);
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    ScreenRect fitted;
    fitted.width = std::clamp(wanted.width, 1, std::max(best->width, 1));
    fitted.height = std::clamp(wanted.height, 1, std::max(best->height, 1));
    fitted.left = place(wanted.left, fitted.width, best->left, best->width);
    fitted.top = place(wanted.top, fitted.height, best->top, best->height);
    return fitted;
}

} // namespace qorvi
