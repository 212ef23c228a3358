// The mouse: a press in the gutter reports the line, on the margin strip
// selects the row, on the right-margin or wrap-column line starts dragging
// that column; in the text it places the caret, and the click count (single,
// double, triple) selects a word or a row; Shift extends the selection; the
// button held selects as the pointer moves (scrolling when it leaves the
// text). A press inside the selection arms a drag of the text, which the
// drag layer may take up; otherwise moving selects from the press point
// and a release there places the caret.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

#include <algorithm>
#include <cstdlib>

namespace qorvi {
namespace {

constexpr int kDragDistance = 4;

} // namespace

void TCustomRudivoVoru::selectRowAt(std::int32_t index) {
    const CaretRow row = caretRow(index);
    if (row.phantom) {
        SetSelection({row.start, row.start});
        return;
    }
    SetSelection({row.start, row.start + row.line->Len()});
}

bool TCustomRudivoVoru::marginColumnAt(int x, int y, std::int32_t& column) const {
    if (!fixedPitch_ && !measuringCanvas())
        return false;
    const std::int32_t rows = std::max(0, y) / std::max(1, GetLineHeight());
    const CaretRow row = rowByNumber(topLine_ + rows);
    const std::int32_t rowEnd = row.phantom ? 0 : columnOfIndex(rowCaretLimit(row));
    auto near = [&](std::int32_t c) {
        const int at = ColumnToXCoord(c, nullptr);
        return at >= LeftRefPoint() && std::abs(x - at) <= 2 && rowEnd < c;
    };
    if (settings_->HasOption(smoShowRMargin) && near(settings_->RightMargin())) {
        column = settings_->RightMargin();
        return true;
    }
    if (settings_->HasOption(smoWordWrap) && settings_->HasOption(smoShowWrapColumn) &&
        settings_->WrapAtColumn() > 0 && near(settings_->WrapAtColumn())) {
        column = settings_->WrapAtColumn();
        return true;
    }
    return false;
}

bool TCustomRudivoVoru::hyperlinkAt(int x, int y, std::int32_t& index, std::uint8_t& style) const {
    if (!settings_->GetHasActiveSites() || !store_->Buffer() || x < LeftRefPoint())
        return false;
    index = IndexFromPos(x, y);
    const CaretRow row = caretRow(index);
    if (row.phantom || index - row.start >= row.line->Len() || !row.line->IsStyled())
        return false;
    style = row.line->StyleAt(index - row.start);
    const int format = settings_->GetMapEntry(style);
    return settings_->GetFormatEntry(format).InUse && settings_->GetFormatEntry(format).HotSpot;
}

void TCustomRudivoVoru::hyperlinkClick(std::int32_t index, std::uint8_t style) {
    // The run of characters of that style around the index, across rows.
    auto styleAt = [&](std::int32_t i) -> int {
        const CaretRow row = caretRow(i);
        if (row.phantom || !row.line->IsStyled() || i - row.start >= row.line->Len())
            return -1;
        return row.line->StyleAt(i - row.start);
    };
    std::int32_t start = index;
    while (start > 0 && styleAt(start - 1) == style)
        --start;
    std::int32_t end = index;
    while (end < store_->NumChars() && styleAt(end) == style)
        ++end;
    if (OnHyperlinkClick)
        OnHyperlinkClick(*this, store_->GetText(start, end - start), style);
}

void TCustomRudivoVoru::SelectAtPos(int x, int y, std::int32_t index) {
    std::int32_t link = 0;
    std::uint8_t style = 0;
    if (overHyperlink_ && hyperlinkAt(x, y, link, style)) {
        SetSelection({index, index});
        hyperlinkClick(link, style);
        return;
    }
    if (CanProcessCaretAfterEOL()) {
        const std::int32_t rows = std::max(0, y) / std::max(1, GetLineHeight());
        const CaretRow row = rowByNumber(topLine_ + rows);
        setCaretFromColumn(row, XCoordToColumn(std::max(x, LeftRefPoint()), row.line), false);
        return;
    }
    SetSelection({index, index});
}

void TCustomRudivoVoru::MouseDown(const MouseInput& mouse) {
    if (mouse.button != MouseButton::Left || !enabled_ || !TabStop)
        return;
    const bool quick = mouse.time - lastClickTime_ <= (host_ ? host_->doubleClickTime() : 500);
    switch (clickCount_) {
    case 1:
        clickCount_ = quick ? 2 : 1;
        break;
    case 2:
        clickCount_ = quick ? 3 : 1;
        break;
    case 3:
        clickCount_ = quick ? 4 : 1;
        break;
    default:
        clickCount_ = 1;
        break;
    }
    lastClickTime_ = mouse.time;

    const int gutterRight = LeftRefPoint() - settings_->Margin();
    const std::int32_t rowNumber = static_cast<std::int32_t>(std::min<std::int64_t>(
        std::int64_t{topLine_} + std::max(0, mouse.y) / std::max(1, GetLineHeight()), rowCount() - 1));
    if (mouse.x < gutterRight && settings_->HasOption(smoShowGutter) && settings_->Gutter() > 0) {
        if (OnGutterClick && store_->Buffer()) {
            // The line's first row under word wrap.
            CaretRow row = rowByNumber(std::min(rowNumber, store_->NumLines() - 1));
            while (!row.phantom && row.line->IsContinuation() && row.index > 0)
                row = rowByNumber(row.index - 1);
            OnGutterClick(*this, row.index + 1);
        }
        return;
    }
    if (mouse.x < LeftRefPoint()) {
        // The margin strip: the whole row.
        selectRowAt(rowByNumber(rowNumber).start);
        return;
    }
    std::int32_t column = 0;
    if (!(mouse.shift & ssShift) && marginColumnAt(mouse.x, mouse.y, column)) {
        columnDrag_ = settings_->HasOption(smoShowRMargin) && column == settings_->RightMargin()
                          ? ColumnDrag::Margin
                          : ColumnDrag::Wrap;
        dragColumn_ = column;
        ScreenInvalid();
        Paint();
        return;
    }
    const std::int32_t index = IndexFromPos(mouse.x, mouse.y);
    pressX_ = mouse.x;
    pressY_ = mouse.y;
    if (mouse.shift & ssShift) {
        // Shift: the nearer end of the ordered selection moves there.
        TChRange r = sel_.Normalised();
        if (index < r.chStart)
            r.chStart = index;
        else
            r.chEnd = index;
        SetSelection(r);
        dragSelecting_ = dragging_ = true;
        return;
    }
    const TChRange r = sel_.Normalised();
    switch (clickCount_) {
    case 2:
        SelectAtPos(mouse.x, mouse.y, index);
        dblClickRow_ = caretRow(index).index;
        perform(WM_LBUTTONDBLCLK, 0, MAKEWPARAM(mouse.x, mouse.y));
        return;
    case 3:
        if (caretRow(index).index == dblClickRow_) {
            if (OnTripleClick)
                OnTripleClick(*this, mouse.x, mouse.y, index);
            else
                selectRowAt(index);
            return;
        }
        break;
    default:
        break;
    }
    if (!r.Empty() && index >= r.chStart && index < r.chEnd) {
        dragArmed_ = true;
        return;
    }
    SelectAtPos(mouse.x, mouse.y, index);
    dragSelecting_ = dragging_ = true;
}

void TCustomRudivoVoru::MouseMove(const MouseInput& mouse) {
    pointerX_ = mouse.x;
    pointerY_ = mouse.y;
    const bool held = (mouse.shift & ssLeft) != 0;
    if (columnDrag_ != ColumnDrag::None) {
        if (held) {
            const std::int32_t column = std::max<std::int32_t>(1, XCoordToColumn(mouse.x, nullptr));
            if (column != dragColumn_) {
                dragColumn_ = column;
                ScreenInvalid();
                Paint();
            }
        }
        return;
    }
    if (dragArmed_ && held) {
        if (std::abs(mouse.x - pressX_) < kDragDistance && std::abs(mouse.y - pressY_) < kDragDistance)
            return;
        dragArmed_ = false;
        if (StartTextDrag())
            return;
        // No drag of the text: select from the press point instead.
        SelectAtPos(pressX_, pressY_, IndexFromPos(pressX_, pressY_));
        dragSelecting_ = dragging_ = true;
    }
    if (dragSelecting_ && held) {
        if (autoScrollOutside(mouse.x, mouse.y)) {
            if (host_)
                host_->startAutoScroll();
            return;
        }
        const std::int32_t index = IndexFromPos(mouse.x, mouse.y);
        if (index != sel_.chEnd)
            SetSelection({sel_.chStart, index});
        return;
    }
    if (held)
        return;
    // The pointer's shape over the text.
    std::int32_t column = 0;
    std::int32_t link = 0;
    std::uint8_t style = 0;
    const bool wasOverLink = overHyperlink_;
    overHyperlink_ = false;
    PointerShape shape = PointerShape::Text;
    if (mouse.x >= LeftRefPoint() && marginColumnAt(mouse.x, mouse.y, column)) {
        shape = PointerShape::ColumnSizing;
    } else if (mouse.x >= LeftRefPoint() && hyperlinkAt(mouse.x, mouse.y, link, style)) {
        shape = PointerShape::Hyperlink;
        overHyperlink_ = true;
        if (!wasOverLink && OnHyperlinkHover)
            OnHyperlinkHover(*this);
    }
    if (host_)
        host_->setPointerShape(shape);
}

void TCustomRudivoVoru::MouseUp(const MouseInput& mouse) {
    if (mouse.button != MouseButton::Left)
        return;
    if (columnDrag_ != ColumnDrag::None) {
        const ColumnDrag drag = columnDrag_;
        const std::int32_t column = dragColumn_;
        columnDrag_ = ColumnDrag::None;
        dragColumn_ = -1;
        ScreenInvalid();
        if (drag == ColumnDrag::Margin)
            SetRightMargin(column);
        else
            SetWrapColumn(static_cast<std::uint16_t>(std::clamp(column, 1, 0xFFFF)));
        Paint();
        return;
    }
    if (dragArmed_) {
        // A press inside the selection that never became a drag.
        dragArmed_ = false;
        SelectAtPos(mouse.x, mouse.y, IndexFromPos(mouse.x, mouse.y));
    }
    dragSelecting_ = false;
    dragging_ = false;
}

} // namespace qorvi
