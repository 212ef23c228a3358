// The row painter (DoPaint). Each row from the top row is drawn, one line
// height below the one before, when it carries the repaint or changed bit:
// its display text (tabs expanded) from the left column, in runs of equal
// style and selection state, each run in the font and colours its style
// maps to; then the rest of the row, the marks of show-all-characters, the
// custom marks and the right-margin and wrap-column lines. The printer runs
// the same painter (TRenderData::Printing), drawing every row.

#include "editor/control/control_row_paint.h"
#include "editor/marks/mark_list.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/incremental_styler.h"

#include <algorithm>

namespace qorvi {

namespace {

constexpr TColor kMarginLineColor = clSilver;

// The format a style maps to; an undefined format is drawn as format 0.
int formatOf(const TSM_Settings& settings, std::uint8_t style, bool syntax) {
    if (!syntax)
        return 0;
    const int format = settings.GetMapEntry(style);
    return settings.GetFormatEntry(format).InUse ? format : 0;
}

} // namespace

TCustomRudivoVoru::RunColors TCustomRudivoVoru::colorsFor(std::uint8_t style, bool selected,
                                                          const RowPaint& p) const {
    RunColors colors;
    colors.format = formatOf(*settings_, style, p.syntax);
    if (p.printing && p.mono) {
        colors.text = clBlack;
        colors.back = clWhite;
        return colors;
    }
    const TFormatEntry& entry = settings_->GetFormatEntry(colors.format);
    colors.text = entry.DefaultText ? def_TextColor : entry.TextColor;
    colors.back = entry.DefaultBack ? def_BackColor : entry.BackColor;
    if (p.markedRow) {
        colors.text = selected ? p.markedBack : p.markedText;
        colors.back = selected ? p.markedText : p.markedBack;
        return colors;
    }
    if (selected) {
        colors.text = selTextColor();
        colors.back = selTextBack();
        return colors;
    }
    if (p.rowFore != -1)
        colors.text = p.rowFore;
    if (p.rowBack != -1)
        colors.back = p.rowBack;
    if (!enabled_ && disabledClrChange_) {
        if (disabledFgApply_)
            colors.text = disabledFg_;
        if (disabledBgApply_)
            colors.back = disabledBg_;
    } else if (readOnly_ && readOnlyClrChange_) {
        if (readOnlyFgApply_)
            colors.text = readOnlyFg_;
        if (readOnlyBgApply_)
            colors.back = readOnlyBg_;
    }
    return colors;
}

void TCustomRudivoVoru::selectFont(Canvas& c, int format, RowPaint& p) {
    if (p.font == format)
        return;
    p.font = format;
    const SettingsResources* resources = settings_->Resources();
    if (resources && !p.printing && resources->fonts[static_cast<std::size_t>(format)])
        c.setFont(*resources->fonts[static_cast<std::size_t>(format)]);
    else
        c.setFont(TSM_Settings::MakeFont(settings_->Font().Name, settings_->Font().Size,
                                         settings_->GetFormatEntry(format).Style, c,
                                         settings_->Font().CharSet));
}

void TCustomRudivoVoru::selectRunStyle(Canvas& c, const RunColors& colors, RowPaint& p) {
    selectFont(c, colors.format, p);
    if (!p.colorsSet || p.text != colors.text) {
        c.setTextColor(colors.text);
        p.text = colors.text;
    }
    if (!p.colorsSet || p.back != colors.back) {
        c.setBackColor(colors.back);
        p.back = colors.back;
    }
    p.colorsSet = true;
}

int TCustomRudivoVoru::drawRun(Canvas& c, int x, int y, std::string_view text, const RunColors& colors,
                               RowPaint& p) {
    selectRunStyle(c, colors, p);
    auto n = static_cast<std::int32_t>(text.size());
    const int remaining = p.right - x;
    const int unit = fixedPitch_ ? cellWidth_ : charWidth_;
    // At the right edge only what can show is drawn.
    const std::int64_t full = fixedPitch_ ? std::int64_t{n} * cellWidth_ : c.textWidth(text);
    if (full > remaining)
        n = std::min(n, std::max(1, remaining / std::max(1, unit) * 3 / 2));
    // A control character ending the run (the line's carriage return) takes
    // its cell but is not drawn.
    const bool dropLast = n > 0 && static_cast<unsigned char>(text[static_cast<std::size_t>(n - 1)]) < 32;
    if (fixedPitch_) {
        // The cell table holds kCellTableSize widths: longer runs go in pieces.
        for (std::int32_t done = 0; done < n;) {
            const std::int32_t piece = std::min<std::int32_t>(n - done, kCellTableSize);
            const int px = x + done * cellWidth_;
            const CanvasRect clip{px, y, std::min(p.right, px + piece * cellWidth_), y + p.lineHeight};
            std::string_view shown =
                text.substr(static_cast<std::size_t>(done), static_cast<std::size_t>(piece));
            if (dropLast && done + piece == n)
                shown.remove_suffix(1);
            if (clip.right <= clip.left) {
            } else if (shown.empty()) {
                c.fillRect(clip, colors.back);
            } else {
                c.drawText(px, y, clip, shown, true, cells_.data());
            }
            done += piece;
            if (px + piece * cellWidth_ >= p.right)
                break;
        }
        return x + n * cellWidth_;
    }
    std::string_view shown = text.substr(0, static_cast<std::size_t>(n));
    const int width = c.textWidth(shown);
    if (dropLast)
        shown.remove_suffix(1);
    const CanvasRect clip{x, y, std::min(p.right, x + width), y + p.lineHeight};
    if (clip.right <= clip.left) {
    } else if (shown.empty()) {
        c.fillRect(clip, colors.back);
    } else {
        c.drawText(x, y, clip, shown, true, nullptr);
    }
    return x + width;
}

int TCustomRudivoVoru::drawCellRun(Canvas& c, int x, int y, std::int32_t column, std::int32_t end,
                                   const RunColors& colors, RowPaint& p) {
    if (!fixedPitch_) {
        // Measured in the font: the run's own characters, decoded.
        const std::int32_t from = displayRow_.ByteOfColumn(column);
        const std::string_view bytes = displayRow_.Bytes().substr(
            static_cast<std::size_t>(from), static_cast<std::size_t>(displayRow_.ByteOfColumn(end) - from));
        return drawRun(c, x, y, bytes, colors, p);
    }
    selectRunStyle(c, colors, p);
    // Only what can show is drawn; a wide character cut by the left column
    // is drawn from its start, clipped.
    const std::int32_t fits = std::max(1, (p.right - x) / std::max(1, cellWidth_) + 1);
    std::int32_t last = end;
    if (last - column > fits)
        last = std::min(end, displayRow_.ClusterColumn(column + fits) + 2);
    while (last < end && displayRow_.ClusterColumn(last) != last)
        ++last;
    const std::int32_t first = displayRow_.ClusterColumn(column);
    const std::int32_t fromByte = displayRow_.ByteOfColumn(first);
    std::string_view bytes = displayRow_.Bytes().substr(
        static_cast<std::size_t>(fromByte), static_cast<std::size_t>(displayRow_.ByteOfColumn(last) - fromByte));
    std::vector<int> widths(bytes.size(), 0);
    for (std::int32_t col = first; col < last; ++col)
        widths[static_cast<std::size_t>(displayRow_.ByteOfColumn(col) - fromByte)] += cellWidth_;
    // The line's carriage return takes its cell but is not drawn.
    if (!bytes.empty() && static_cast<unsigned char>(bytes.back()) < 32)
        bytes.remove_suffix(1);
    const CanvasRect clip{x, y, std::min(p.right, x + (last - column) * cellWidth_), y + p.lineHeight};
    if (clip.right > clip.left) {
        if (bytes.empty())
            c.fillRect(clip, colors.back);
        else
            c.drawText(x - (column - first) * cellWidth_, y, clip, bytes, true, widths.data());
    }
    return x + (end - column) * cellWidth_;
}

void TCustomRudivoVoru::paintRow(Canvas& c, TLine* row, std::int32_t rowStart, int y, RowPaint& p) {
    ExpandTabs(row, displayRow_);
    const std::string_view text = displayRow_.Text();
    const std::uint8_t* styles = displayRow_.Styles();
    const auto columns = static_cast<std::int32_t>(text.size());
    if (OnDrawLine) {
        TDrawLineData data;
        data.Text = text;
        data.canvas = &c;
        data.Rect = {p.left, y, p.right, y + p.lineHeight};
        data.CharIndex = rowStart;
        data.LeftColumn = leftCol_;
        data.Length = columns;
        OnDrawLine(*this, data);
        if (data.Handled)
            return;
        // The handler may have used the canvas.
        p.font = -1;
        p.colorsSet = false;
    }
    // The selection in display columns.
    const std::int32_t len = row->Len();
    const std::int32_t rowEnd = rowStart + len;
    std::int32_t selA = 0;
    std::int32_t selB = 0;
    bool selectedPastEnd = false;
    if (p.showSelection && p.selStart < rowEnd && p.selEnd > rowStart) {
        selA = displayRow_.ColumnOfChar(std::max(0, p.selStart - rowStart));
        selB = displayRow_.ColumnOfChar(std::min(len, p.selEnd - rowStart));
        selectedPastEnd = row->EndsWithCR() ? p.selEnd >= rowEnd : p.selEnd > rowEnd;
    }
    int x = p.left;
    std::int32_t column = leftCol_;
    // Runs of equal format: styles that look alike are drawn together.
    auto formatAt = [&](std::int32_t c) { return styles ? formatOf(*settings_, styles[c], p.syntax) : 0; };
    while (column < columns && x < p.right) {
        const std::uint8_t style = styles ? styles[column] : 0;
        const int format = formatAt(column);
        const bool selected = column >= selA && column < selB;
        std::int32_t end = column + 1;
        while (end < columns && formatAt(end) == format && (end >= selA && end < selB) == selected)
            ++end;
        if (displayRow_.Cells())
            x = drawCellRun(c, x, y, column, end, colorsFor(style, selected, p), p);
        else
            x = drawRun(c, x, y,
                        text.substr(static_cast<std::size_t>(column), static_cast<std::size_t>(end - column)),
                        colorsFor(style, selected, p), p);
        column = end;
    }
    if (x < p.right) {
        // The rest of the row in the background of what it follows.
        const TColor fill = selectedPastEnd
                                ? colorsFor(0, true, p).back
                                : colorsFor(styles && columns > 0 ? styles[columns - 1] : 0, false, p).back;
        c.fillRect({x, y, p.right, y + p.lineHeight}, fill);
    }
    if (settings_->HasOption(smoShowAllChars))
        paintAllChars(c, row, y, p);
    paintMarks(c, row, rowStart, y, p);
    paintRowLines(c, y, p);
}

void TCustomRudivoVoru::paintAllChars(Canvas& c, TLine* row, int y, RowPaint& p) {
    const SettingsResources* resources = settings_->Resources();
    const std::string_view text = displayRow_.Text();
    const auto columns = static_cast<std::int32_t>(text.size());
    const int unit = fixedPitch_ ? cellWidth_ : charWidth_;
    auto columnX = [&](std::int32_t column) { return p.left + (column - leftCol_) * unit; };
    // The marks draw in the inverse of the background.
    c.setTextColor(static_cast<TColor>(0xFFFFFF ^ (p.back & 0xFFFFFF)));
    const int chars = displayRow_.Chars();
    for (std::int32_t ch = 0; ch < chars; ++ch) {
        const std::int32_t column = displayRow_.ColumnOfChar(ch);
        if (column < leftCol_)
            continue;
        const int x = columnX(column);
        if (x >= p.right)
            break;
        const char original = row->Text()[ch];
        if (original == ' ') {
            c.drawText(x, y - p.lineHeight / 4, {x, y, x + unit, y + p.lineHeight}, ".", false);
        } else if (original == '\t' && resources && resources->markers.size() > 1) {
            const auto& marker = resources->markers[1];
            const int width = (displayRow_.ColumnOfChar(ch + 1) - column) * unit;
            c.setFont(marker.font);
            c.drawText(x + (width - marker.width) / 2, y, {x, y, x + width, y + p.lineHeight},
                       std::string(1, static_cast<char>(marker.character)), false);
        }
    }
    // A paragraph mark where the line ends, a wrap mark where it goes on.
    const bool continued = !row->EndsWithCR() && store_->Next(row) && settings_->HasOption(smoWordWrap);
    const std::size_t which = row->EndsWithCR() ? 0 : (continued ? 2 : 3);
    if (resources && which < resources->markers.size()) {
        const std::int32_t endColumn = row->EndsWithCR() ? columns - 1 : columns;
        if (endColumn >= leftCol_) {
            const int x = columnX(endColumn);
            const auto& marker = resources->markers[which];
            c.setFont(marker.font);
            c.drawText(x, y, {x, y, std::min(p.right, x + std::max(unit, marker.width)), y + p.lineHeight},
                       std::string(1, static_cast<char>(marker.character)), false);
        }
    }
    // Fonts and colours were changed behind the run state.
    p.font = -1;
    p.colorsSet = false;
}

void TCustomRudivoVoru::paintMarks(Canvas& c, TLine* row, std::int32_t rowStart, int y, const RowPaint& p) {
    const TMarkList* marks = store_->ObjectList();
    if (!marks || marks->Count() == 0)
        return;
    const std::int32_t len = row->Len();
    TMark* mark = nullptr;
    if (!marks->IsMarkPresent(rowStart, len, mark))
        return;
    for (; mark; mark = marks->NextMark(mark) ? mark : nullptr) {
        const std::int32_t start = marks->GetMarkStartPos(mark);
        const std::int32_t end = marks->GetMarkEndPos(mark);
        if (start > rowStart + len)
            break;
        if (end < rowStart)
            continue;
        const std::int32_t from = displayRow_.ColumnOfChar(std::max(0, start - rowStart));
        const std::int32_t to = displayRow_.ColumnOfChar(std::min(len, end - rowStart));
        if (to <= leftCol_)
            continue;
        const int x0 = ColumnToXCoord(std::max(from, leftCol_), row);
        const int x1 = ColumnToXCoord(to, row);
        const CanvasRect rect{x0, y, std::min(p.right, x1), y + p.lineHeight - 1};
        if (rect.right <= rect.left)
            continue;
        if (OnDrawMark)
            OnDrawMark(*this, c, mark, rect);
        else if (markDrawHook_)
            markDrawHook_(c, mark, rect);
        else
            DoSpellHighlight(c, rect);
    }
}

void TCustomRudivoVoru::DoSpellHighlight(Canvas& canvas, const CanvasRect& rect) {
    // A red zigzag 2 pixels high with 3-pixel steps along the bottom.
    const CanvasPen pen{clRed, 1, PenStyle::Solid, false};
    const int right = std::min(rect.right, clientWidth_ > 0 ? clientWidth_ : rect.right);
    const int bottom = rect.bottom - 1;
    bool up = true;
    for (int x = rect.left; x < right; x += 3) {
        const int next = std::min(x + 3, right);
        canvas.line(x, up ? bottom : bottom - 2, next, up ? bottom - 2 : bottom, pen);
        up = !up;
    }
}

void TCustomRudivoVoru::paintRowLines(Canvas& c, int y, const RowPaint& p) {
    const int unit = fixedPitch_ ? cellWidth_ : charWidth_;
    const std::int32_t columns = p.printing ? (p.right - p.left) / std::max(1, unit) : visibleCols_;
    auto lineAt = [&](std::int32_t column, PenStyle style) {
        if (column < leftCol_ || column > leftCol_ + columns)
            return;
        const int x = p.left + (column - leftCol_) * unit;
        c.line(x, y, x, y + p.lineHeight, CanvasPen{kMarginLineColor, 1, style, false});
    };
    if (settings_->HasOption(smoShowRMargin))
        lineAt(settings_->RightMargin(), PenStyle::Solid);
    if (settings_->HasOption(smoWordWrap) && settings_->HasOption(smoShowWrapColumn) &&
        settings_->WrapAtColumn() >= 1)
        lineAt(settings_->WrapAtColumn(), PenStyle::Dot);
}

void TCustomRudivoVoru::paintPastEnd(Canvas& c, int y, RowPaint& p) {
    c.fillRect({p.left, y, p.right, y + p.lineHeight}, p.printing && p.mono ? clWhite : def_BackColor);
    paintRowLines(c, y, p);
}

TCustomRudivoVoru::RowPaint TCustomRudivoVoru::rowPaintFor(const TRenderData& rd) const {
    RowPaint p;
    p.canvas = rd.canvas;
    p.right = rd.Rect.right;
    p.bottom = rd.Rect.bottom;
    p.left = rd.Rect.left + LeftRefPoint();
    p.lineHeight = std::max(1, GetLineHeight());
    p.printing = rd.Printing;
    p.mono = MonoPrint;
    p.syntax = settings_->HasOption(smoSyntaxHighlight);
    const TChRange sel = sel_.Normalised();
    p.showSelection = !sel.Empty() && (focused_ || !hideSelection_) && !rd.Printing;
    p.selStart = sel.chStart;
    p.selEnd = sel.chEnd;
    return p;
}

void TCustomRudivoVoru::DrawRow(TRenderData& rd, TLine* row, std::int32_t rowStart, int y) {
    if (!rd.canvas || !row)
        return;
    rd.canvas->setTextEncoding(Encoding());
    RowPaint p = rowPaintFor(rd);
    markRow(p, row, rowStart);
    paintRow(*rd.canvas, row, rowStart, y, p);
}

int TCustomRudivoVoru::markRow(RowPaint& p, TLine* row, std::int32_t rowStart) {
    int glyph = -1;
    std::int32_t lineColor = -1;
    std::int32_t textColor = -1;
    p.markedRow = store_->CodeBreak().PrepareLineDraw(rowStart, glyph, lineColor, textColor) ||
                  store_->Breakpoints().PrepareLineDraw(rowStart, glyph, lineColor, textColor);
    p.markedText = textColor;
    p.markedBack = lineColor;
    p.rowBack = row->HasExtras() ? store_->BackColor(row) : -1;
    p.rowFore = row->HasExtras() ? store_->ForeColor(row) : -1;
    return p.markedRow ? glyph : -1;
}

void TCustomRudivoVoru::DoPaint(TRenderData& rd) {
    if (!rd.canvas)
        return;
    Canvas& c = *rd.canvas;
    c.setTextEncoding(Encoding());
    RowPaint p = rowPaintFor(rd);

    const bool gutter = settings_->Gutter() > 0 && settings_->HasOption(smoShowGutter);
    const std::int32_t margin = settings_->Margin();
    const bool singleRow = store_->NumLines() <= 1;
    std::int32_t lineNumber = 0;
    bool lineNumberKnown = false;

    TLine* row = visLine_;
    std::int32_t rowStart = topOffset_;
    for (int y = rd.Rect.top; y < p.bottom; y += p.lineHeight) {
        const bool inClip = !clipToDirty_ || (y < paintClip_.bottom && y + p.lineHeight > paintClip_.top);
        if (!row) {
            if (inClip) {
                if (gutter)
                    paintGutter(c, nullptr, y, 0, -1, p);
                if (margin > 0)
                    c.fillRect({p.left - margin, y, p.left, y + p.lineHeight}, marginBrush());
                paintPastEnd(c, y, p);
            }
            continue;
        }
        const bool flagged = (row->Flags() & (lfRepaint | lfChanged)) || singleRow || rd.Printing;
        if (inClip && flagged) {
            const int glyph = markRow(p, row, rowStart);
            if (gutter) {
                if (!lineNumberKnown && settings_->HasOption(smoLineNumbers)) {
                    lineNumber = TextLineOfRow(rowStart);
                    lineNumberKnown = true;
                }
                paintGutter(c, row, y, lineNumber, glyph, p);
            }
            if (margin > 0)
                c.fillRect({p.left - margin, y, p.left, y + p.lineHeight}, marginBrush());
            paintRow(c, row, rowStart, y, p);
            row->ClearFlags(lfRepaint | lfChanged | lfParseStart);
        }
        if (lineNumberKnown && row->EndsWithCR())
            ++lineNumber;
        rowStart += row->Len();
        row = store_->Next(row);
    }
}

} // namespace qorvi
