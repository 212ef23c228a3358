#pragma once

// Colours are 0x00BBGGRR integers, as stored in settings streams, RTF and the
// registry. Values with the top bit set name a system colour (index in the low
// byte), resolved against the palette at drawing time.

#include <cstdint>

namespace qorvi {

using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// System colour indices (COLOR_*).
enum SystemColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
};

constexpr TColor kSystemColorFlag = static_cast<TColor>(0x80000000u);
constexpr bool isSystemColor(TColor c) { return (c & kSystemColorFlag) != 0; }

// Named colours of the GUI framework (clXXX), system ones included.
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(0x80, 0, 0);
constexpr TColor clGreen = RGB(0, 0x80, 0);
constexpr TColor clOlive = RGB(0x80, 0x80, 0);
constexpr TColor clNavy = RGB(0, 0, 0x80);
constexpr TColor clPurple = RGB(0x80, 0, 0x80);
constexpr TColor clTeal = RGB(0, 0x80, 0x80);
constexpr TColor clGray = RGB(0x80, 0x80, 0x80);
constexpr TColor clSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RGB(0xFF, 0, 0);
constexpr TColor clLime = RGB(0, 0xFF, 0);
constexpr TColor clYellow = RGB(0xFF, 0xFF, 0);
constexpr TColor clBlue = RGB(0, 0, 0xFF);
constexpr TColor clFuchsia = RGB(0xFF, 0, 0xFF);
constexpr TColor clAqua = RGB(0, 0xFF, 0xFF);
constexpr TColor clWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = kSystemColorFlag | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
constexpr TColor clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
constexpr TColor clBtnText = kSystemColorFlag | COLOR_BTNTEXT;
constexpr TColor clGrayText = kSystemColorFlag | COLOR_GRAYTEXT;
constexpr TColor clAppWorkSpace = kSystemColorFlag | COLOR_APPWORKSPACE;
constexpr TColor clInfoBk = kSystemColorFlag | COLOR_INFOBK;
constexpr TColor clInfoText = kSystemColorFlag | COLOR_INFOTEXT;

// The RGB value of a system colour on the default light palette; a plain
// colour is returned unchanged. The Qt layer may override this from the
// widget palette.
TColor resolveSystemColor(TColor c);

} // namespace qorvi
