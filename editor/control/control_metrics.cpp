// Font metrics and screen geometry: the gutter, then the margin, then the
// text area from the left reference point; one line height per row from the
// top row; display columns from the left column.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/custom_rudivo_voru_parser.h"

#include <algorithm>

namespace qorvi {

Canvas* TCustomRudivoVoru::measuringCanvas() const {
    if (printCanvas_)
        return printCanvas_;
    return host_ ? &host_->measureCanvas() : nullptr;
}

void TCustomRudivoVoru::UsePrinterCanvas(Canvas* printer) {
    printCanvas_ = printer;
    printing_ = printer != nullptr;
    FontChanged();
    settings_->RefreshResources();
    if (printing_)
        return;
    ScreenInvalid();
    DoChange();
    Paint();
}

CanvasFont TCustomRudivoVoru::canvasFont(std::uint8_t styleBits) const {
    const Canvas* canvas = measuringCanvas();
    if (!canvas)
        canvas = &const_cast<TCustomRudivoVoru*>(this)->resourceCanvas();
    return TSM_Settings::MakeFont(font_.Name, font_.Size, styleBits, *canvas, font_.CharSet);
}

std::int32_t TCustomRudivoVoru::LeftRefPoint() const {
    return settings_->Margin() + (settings_->HasOption(smoShowGutter) ? settings_->Gutter() : 0);
}

void TCustomRudivoVoru::recomputeVisible() {
    if (!hasSize_) {
        visibleCols_ = 80;
        visibleRows_ = 40;
        return;
    }
    visibleCols_ = std::max(0, (clientWidth_ - LeftRefPoint()) / std::max(1, charWidth_));
    visibleRows_ = std::max(0, clientHeight_ / std::max(1, GetLineHeight()));
}

void TCustomRudivoVoru::SetLHExtra(int extra) {
    lhExtra_ = std::max(0, extra);
    recomputeVisible();
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::FontChanged() {
    Canvas* canvas = measuringCanvas();
    if (!canvas) {
        charWidth_ = 7;
        textHeight_ = 17;
        lhExtra_ = 0;
        fixedPitch_ = false;
        cellWidth_ = 8;
    } else {
        // Metrics of the widest form, so that bold italic runs fit.
        const FontMetrics bold = canvas->setFont(canvasFont(fsBold | fsItalic));
        lhExtra_ = bold.externalLeading + 1;
        textHeight_ = bold.height > 0 ? bold.height : 17;
        charWidth_ = bold.averageWidth > 0 ? bold.averageWidth : 7;
        const int narrow = canvas->textWidth("i");
        const int wide = canvas->textWidth("W");
        fixedPitch_ = narrow == wide && wide > 0;
        if (fixedPitch_) {
            const FontMetrics regular = canvas->setFont(canvasFont(0));
            cellWidth_ = std::max(1, canvas->textWidth("W"));
            charWidth_ = regular.averageWidth > 0 ? regular.averageWidth : 7;
        } else {
            cellWidth_ = 8;
        }
    }
    cells_.fill(cellWidth_);
    fontMeasured_ = true;
    recomputeVisible();
    if (takingFontFromParser_)
        return;
    // The font belongs to the language: the other controls of the parser
    // take it too. Unchanged, it is not sent round again.
    TFontSpec shared = settings_->Font();
    if (shared.Name == font_.Name && shared.Size == font_.Size && shared.CharSet == font_.CharSet)
        return;
    shared.Name = font_.Name;
    shared.Size = font_.Size;
    shared.CharSet = font_.CharSet;
    settings_->SetFont(shared);
    ShowChangesInUI();
}

// ---------------------------------------------------------------- columns and x

int TCustomRudivoVoru::ColumnToXCoord(std::int32_t column, TLine* row) const {
    if (column < leftCol_)
        return -1;
    const int left = LeftRefPoint();
    Canvas* canvas = measuringCanvas();
    if (fixedPitch_ || !canvas || !row)
        return left +
               static_cast<int>(std::min<std::int64_t>(
                   std::int64_t{column - leftCol_} * (fixedPitch_ ? cellWidth_ : charWidth_), 1 << 29));
    // Run by run in each run's own font, never past the client width.
    ExpandTabs(row, displayRow_);
    const std::string_view text = displayRow_.Text();
    const std::uint8_t* styles = displayRow_.Styles();
    int x = left;
    std::int32_t c = leftCol_;
    const std::int32_t end = std::min<std::int32_t>(column, static_cast<std::int32_t>(text.size()));
    while (c < end && x <= clientWidth_) {
        const std::uint8_t style = styles ? styles[c] : 0;
        std::int32_t runEnd = c + 1;
        while (runEnd < end && (styles ? styles[runEnd] : 0) == style)
            ++runEnd;
        const int format = settings_->HasOption(smoSyntaxHighlight) ? settings_->GetMapEntry(style) : 0;
        canvas->setFont(canvasFont(settings_->GetFormatEntry(format).Style));
        x += canvas->textWidth(shownColumns(c, runEnd));
        c = runEnd;
    }
    // Columns beyond the text (a caret after the line end) take the
    // average width.
    if (column > c && x <= clientWidth_)
        x += (column - c) * charWidth_;
    return x;
}

std::string_view TCustomRudivoVoru::shownColumns(std::int32_t from, std::int32_t to) const {
    if (!displayRow_.Cells())
        return displayRow_.Text().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    // The characters that start in these columns, with all their bytes (a
    // wide character's second cell measures nothing).
    auto startOf = [&](std::int32_t column) {
        const std::int32_t first = displayRow_.ClusterColumn(column);
        if (first == column)
            return displayRow_.ByteOfColumn(column);
        std::int32_t after = column;
        while (after < displayRow_.Columns() && displayRow_.ClusterColumn(after) != after)
            ++after;
        return displayRow_.ByteOfColumn(after);
    };
    const std::int32_t a = startOf(from);
    const std::int32_t b = std::max(a, startOf(to));
    return displayRow_.Bytes().substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
}

std::int32_t TCustomRudivoVoru::XCoordToColumn(int x, TLine* row) const {
    const int left = LeftRefPoint();
    if (x <= left)
        return leftCol_;
    Canvas* canvas = measuringCanvas();
    if (!row) {
        const int width = fixedPitch_ ? cellWidth_ : charWidth_;
        return leftCol_ + (x - left + width / 2) / std::max(1, width);
    }
    ExpandTabs(row, displayRow_);
    const std::string_view text = displayRow_.Text();
    std::int32_t column;
    if (fixedPitch_ || !canvas) {
        const int width = fixedPitch_ ? cellWidth_ : charWidth_;
        column = leftCol_ + (x - left + width / 2) / std::max(1, width);
    } else {
        // The character boundary nearest to x: a point in the left half of a
        // character belongs before it.
        const std::uint8_t* styles = displayRow_.Styles();
        int at = left;
        column = leftCol_;
        const auto columns = static_cast<std::int32_t>(text.size());
        while (column < columns) {
            const std::uint8_t style = styles ? styles[column] : 0;
            const int format = settings_->HasOption(smoSyntaxHighlight) ? settings_->GetMapEntry(style) : 0;
            canvas->setFont(canvasFont(settings_->GetFormatEntry(format).Style));
            const int w = canvas->textWidth(shownColumns(column, column + 1));
            if (x < at + (w + 1) / 2)
                break;
            at += w;
            ++column;
        }
        if (column >= columns && x > at)
            column += (x - at + charWidth_ / 2) / std::max(1, charWidth_);
    }
    if (displayRow_.Expanded() && column < displayRow_.Columns()) {
        // Inside a TAB's blanks: its nearer edge.
        const std::int32_t ch = displayRow_.CharAtColumn(column);
        const std::int32_t start = displayRow_.ColumnOfChar(ch);
        // The bytes of a UTF-8 character share its column: its end is where
        // the next one starts.
        std::int32_t next = ch + 1;
        while (next < displayRow_.Chars() && displayRow_.ColumnOfChar(next) == start)
            ++next;
        const std::int32_t end = displayRow_.ColumnOfChar(next);
        if (column != start)
            column = (column - start) * 2 < end - start ? start : end;
    }
    return column;
}

// ---------------------------------------------------------------- index and client point

bool TCustomRudivoVoru::PosFromIndex(std::int32_t index, int& x, int& y) const {
    x = y = -1;
    if (!store_->Buffer() || index < topOffset_)
        return false;
    const CaretRow row = caretRow(index);
    const std::int64_t rows = std::int64_t{row.index} - topLine_;
    y = static_cast<int>(std::min<std::int64_t>(rows * GetLineHeight(), 1 << 29));
    const std::int32_t column = row.phantom ? 0 : CharOffsetToColumn(index - row.start, row.line);
    x = column < leftCol_ ? -1 : ColumnToXCoord(column, row.line);
    return true;
}

std::int32_t TCustomRudivoVoru::IndexFromPos(int x, int y) const {
    if (!store_->Buffer())
        return 0;
    const std::int32_t rows = std::max(0, y) / std::max(1, GetLineHeight());
    const CaretRow row = rowByNumber(
        static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{topLine_} + rows, rowCount() - 1)));
    if (row.phantom)
        return row.start;
    return std::min(row.start + ColumnToCharOffset(XCoordToColumn(x, row.line), row.line),
                    rowCaretLimit(row));
}

CanvasRect TCustomRudivoVoru::CaretRect() const {
    int x = 0;
    int y = 0;
    if (dropIndex_ >= 0) {
        // Data dragged over the control: the caret shows where it would go.
        if (!PosFromIndex(dropIndex_, x, y) || x < 0)
            return {};
        return {x, y, x + 2, y + GetLineHeight()};
    }
    if (!PosFromIndex(sel_.chEnd, x, y))
        return {};
    if (beyondEOL_) {
        // Standing beyond the line end, at its virtual column.
        x = virtualCol_ < leftCol_ ? -1 : ColumnToXCoord(virtualCol_, nullptr);
    }
    if (x < 0)
        return {};
    int width = 2;
    if (!insMode_ && settings_->HasOption(smoBlockOverwriteCursor)) {
        width = fixedPitch_ ? cellWidth_ : charWidth_;
        const CaretRow row = caretRow(sel_.chEnd);
        if (!beyondEOL_ && !row.phantom && sel_.chEnd - row.start < row.line->Len()) {
            // A tab's cell is all of its blanks.
            const int next =
                ColumnToXCoord(CharOffsetToColumn(sel_.chEnd - row.start + 1, row.line), row.line);
            if (next > x)
                width = next - x;
        }
    }
    return {x, y, x + width, y + GetLineHeight()};
}

} // namespace qorvi
