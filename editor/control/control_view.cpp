// Events from the window: paint, size, focus and wheel (the mouse is
// control_mouse.cpp). The window forwards them as plain values; the core
// answers through ControlHost.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/incremental_styler.h"

#include <algorithm>

namespace qorvi {

void TCustomRudivoVoru::Paint() {
    if (!host_ || destroying_ || loading_ || !redraw_ || updateLock_ || printing_ || !hasSize_)
        return;
    if (fullRepaint_) {
        fullRepaint_ = false;
        host_->invalidateRect({0, 0, clientWidth_, clientHeight_});
        return;
    }
    const int lineHeight = std::max(1, GetLineHeight());
    int top = clientHeight_;
    int bottom = 0;
    int y = 0;
    TLine* row = visLine_;
    for (; row && y < clientHeight_; row = store_->Next(row), y += lineHeight)
        if (row->Flags() & (lfRepaint | lfChanged)) {
            top = std::min(top, y);
            bottom = y + lineHeight;
        }
    if (bottom > top)
        host_->invalidateRect({0, top, clientWidth_, std::min(bottom, clientHeight_)});
}

void TCustomRudivoVoru::PaintTo(Canvas& canvas, const CanvasRect& dirty) {
    if (destroying_ || loading_ || !redraw_ || updateLock_ || printing_)
        return;
    if (!hasSize_)
        ViewResize(dirty.right, dirty.bottom);
    if (pendingParse_ >= 0)
        ParseText();
    const int lineHeight = std::max(1, GetLineHeight());
    // Every row on screen gets its final styles first.
    std::int32_t end = topOffset_;
    TLine* row = visLine_;
    for (int y = 0; row && y < clientHeight_; y += lineHeight) {
        end += row->Len();
        row = store_->Next(row);
    }
    styler_->StyleBefore(end);
    row = visLine_;
    for (int y = 0; row && y < clientHeight_; y += lineHeight, row = store_->Next(row))
        if (y < dirty.bottom && y + lineHeight > dirty.top)
            row->AddFlags(lfRepaint);
    fullRepaint_ = false;
    TRenderData rd;
    rd.Rect = {0, 0, clientWidth_, clientHeight_};
    rd.canvas = &canvas;
    paintClip_ = dirty;
    clipToDirty_ = true;
    try {
        DoPaint(rd);
    } catch (...) {
        clipToDirty_ = false;
        throw;
    }
    clipToDirty_ = false;
    if (showFocusLine_) {
        int x = 0;
        int y = 0;
        if (PosFromIndex(sel_.chEnd, x, y) && y >= 0 && y < clientHeight_) {
            const CanvasPen pen{static_cast<TColor>(def_TextColor ^ clWhite), 1, PenStyle::Solid, true};
            canvas.line(LeftRefPoint(), y, clientWidth_, y, pen);
            canvas.line(LeftRefPoint(), y + lineHeight - 1, clientWidth_, y + lineHeight - 1, pen);
        }
    }
    if (columnDrag_ != ColumnDrag::None && dragColumn_ >= 0) {
        // The margin or wrap column being dragged.
        const int x = ColumnToXCoord(dragColumn_, nullptr);
        if (x >= LeftRefPoint() && x < clientWidth_)
            canvas.line(x, 0, x, clientHeight_, CanvasPen{clWhite, 1, PenStyle::Solid, true});
    }
    if (host_) {
        const CanvasRect caret = CaretRect();
        if ((focused_ || dragging_ || dropIndex_ >= 0) && caret.bottom > 0 && caret.top < clientHeight_ &&
            caret.left >= LeftRefPoint() && caret.left < clientWidth_)
            host_->showCaret(caret);
        else
            host_->hideCaret();
    }
    UpdateScrollBars();
    // Rows that changed outside this paint's area get their own.
    Paint();
}

void TCustomRudivoVoru::ViewResize(int clientWidth, int clientHeight) {
    clientWidth = std::max(0, clientWidth);
    clientHeight = std::max(0, clientHeight);
    const bool first = !hasSize_;
    if (!first && clientWidth == clientWidth_ && clientHeight == clientHeight_)
        return;
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    hasSize_ = true;
    if (first && host_ && !fontMeasured_)
        FontChanged();
    recomputeVisible();
    rewrapIfLayoutChanged();
    refreshTopRow();
    ScreenInvalid();
    reasons_ |= crSize;
    UpdateScrollBars();
    DoChange();
    Paint();
}

void TCustomRudivoVoru::ViewFocus(bool focused) {
    if (focused == focused_)
        return;
    focused_ = focused;
    if (focused_)
        SetUI();
    else if (host_)
        host_->hideCaret();
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::ViewWheel(const WheelInput& wheel) {
    if (wheel.lines > 0)
        DoMouseWheelDown(wheel.shift, wheel.x, wheel.y, wheel.lines);
    else if (wheel.lines < 0)
        DoMouseWheelUp(wheel.shift, wheel.x, wheel.y, wheel.lines);
    if (wheel.columns != 0)
        perform(EM_LINESCROLL, static_cast<std::uintptr_t>(wheel.columns), 0);
}

} // namespace qorvi
