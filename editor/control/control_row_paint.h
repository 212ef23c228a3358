#pragma once

// What the row painter and the gutter share while one paint runs: the
// geometry, the selection, the colours of a marked row, and what the canvas
// holds, so that fonts and colours are switched only when they change.

#include "editor/control/rudivo_voru.h"

namespace qorvi {

struct TCustomRudivoVoru::RowPaint {
    Canvas* canvas = nullptr;
    int right = 0; // the client width (or the page's right edge)
    int bottom = 0;
    int left = 0; // the left reference point
    int lineHeight = 0;
    bool printing = false;
    bool mono = false;
    bool syntax = true;
    bool showSelection = false;
    std::int32_t selStart = 0;
    std::int32_t selEnd = 0;
    // A breakpoint or code-break row: its colours replace the styles'.
    bool markedRow = false;
    TColor markedText = clBlack;
    TColor markedBack = clWhite;
    std::int32_t rowBack = -1;
    std::int32_t rowFore = -1;
    // What the canvas holds, so that fonts and colours switch only on a change.
    int font = -1;
    bool colorsSet = false;
    TColor text = clBlack;
    TColor back = clWhite;
};

} // namespace qorvi
