#pragma once

// What the row painter (DoPaint) is asked to draw. The screen passes the
// client rectangle and its canvas and zeros elsewhere; printing and page
// rendering fill the rest. On this platform the canvas is also the device
// (there is no separate device context).

#include "platform/canvas.h"

#include <cstdint>

namespace qorvi {

struct TRenderData {
    CanvasRect Rect;             // the target rectangle
    Canvas* canvas = nullptr;    // the canvas (and device) drawn on
    bool PageMode = false;       // lay out pages but draw only one
    bool Printing = false;       // the canvas is a printer page
    bool Inline = false;         // continue on the current printer page
    bool SelectionLines = false; // print only the lines First ... Last
    std::int32_t Page = 0;       // the current page counter
    std::int32_t StartY = 0;     // where to start; on return where printing stopped
    std::int32_t First = 0;      // first page (page mode) or 1-based line (selection lines)
    std::int32_t Last = 0;       // last page or line
};

} // namespace qorvi
