#pragma once

// Where a text line is cut into rows. With word wrap a row ends where the
// next character would pass the wrap width, moved back to just after the
// last blank (blanks at the cut stay at the end of the upper row); a word
// longer than the row is cut. Without word wrap only lines of 2048
// characters or more are cut, at 2047, as insertion cuts them.

#include "editor/settings/tab_columns.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace qorvi {

// DoWordBreakTest(text, position, kind, length): kind 0 gives the length of
// the row that should end near `position`; kind 1 the position after the
// word at `position` and the blanks behind it; kind 2 whether the character
// at `position` is a break character (1) or not (0). `text` holds `length`
// characters.
using TWordBreakProc =
    std::function<std::int32_t(const char* text, std::int32_t position, int kind, std::int32_t length)>;

// Codes up to 32 and 160 end words.
constexpr bool isWordBreakChar(unsigned char c) {
    return c <= 32 || c == 160;
}

std::int32_t DefaultWordBreakTest(const char* text, std::int32_t position, int kind, std::int32_t length);

struct RowMeasure {
    // Fixed pitch: every character takes one cell of this many pixels.
    int cellWidth = 0;
    // Otherwise: the width of a text in the default format's font.
    std::function<int(std::string_view)> textWidth;
    const TTabColumns* tabColumns = nullptr;
    std::int32_t tabDefault = 4;
    // A UTF-8 document: characters take their cells and no row ends inside
    // one.
    bool utf8 = false;
};

// The lengths of the rows `line` is cut into (at least one row, each 1 ...
// 2047 characters). `wrapWidth` (pixels, at least 8) applies when `wrap`.
std::vector<std::uint16_t> RowLengths(std::string_view line, bool wrap, int wrapWidth,
                                      const RowMeasure& measure, const TWordBreakProc& breakTest);

} // namespace qorvi
