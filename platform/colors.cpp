#include "platform/colors.h"

namespace qorvi {

TColor resolveSystemColor(TColor c) {
    if (!isSystemColor(c))
        return c & 0x00FFFFFF;
    switch (c & 0xFF) {
    case COLOR_WINDOW:
    case COLOR_INFOBK:
        return clWhite;
    case COLOR_HIGHLIGHT:
        return RGB(0x00, 0x78, 0xD7);
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT:
        return clWhite;
    case COLOR_BTNFACE:
    case COLOR_MENU:
    case COLOR_SCROLLBAR:
    case COLOR_3DLIGHT:
        return RGB(0xF0, 0xF0, 0xF0);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
    case COLOR_APPWORKSPACE:
        return clGray;
    case COLOR_3DDKSHADOW:
        return RGB(0x40, 0x40, 0x40);
    default:
        return clBlack;
    }
}

} // namespace qorvi
