// The scroll position (top row and left column), the scroll bars, keeping
// the caret in view, the wheel, scrolling while a drag leaves the text, and
// the look-ups between character indexes, rows and text lines.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

#include <algorithm>
#include <cstdlib>

namespace qorvi {

// ---------------------------------------------------------------- the top row

void TCustomRudivoVoru::setTopLine(std::int32_t index) {
    const std::int32_t rows = store_->NumLines();
    topLine_ = std::clamp(index, 0, std::max(0, rows - 1));
    const TTextStore::LineInfo info = store_->LineFromLineIndex(topLine_);
    visLine_ = info.line;
    topOffset_ = info.line ? info.start : 0;
    store_->SetTopLine(visLine_);
}

void TCustomRudivoVoru::refreshTopRow() {
    // The row that now holds the top row's first character.
    if (!store_->Buffer()) {
        setTopLine(0);
        return;
    }
    setTopLine(store_->InfoFromIndex(std::min(topOffset_, store_->NumChars())).index);
}

std::int32_t TCustomRudivoVoru::ScaleFactor() const {
    return store_->NumLines() / 32000 + 1;
}

void TCustomRudivoVoru::NewScrollPos(std::int32_t leftColumn, std::int32_t topLine, bool autoScroll,
                                     bool repaint) {
    leftColumn = std::clamp(leftColumn, 0, std::max(0, GetLongestLineLength() - 1));
    topLine = std::clamp(topLine, 0, std::max(0, store_->NumLines() - 1));
    bool changed = false;
    if (topLine != topLine_ || !visLine_) {
        changed = topLine != topLine_;
        setTopLine(topLine);
    }
    if (leftColumn != leftCol_) {
        leftCol_ = leftColumn;
        changed = true;
    }
    if (changed) {
        reasons_ |= crScrolled;
        ScreenInvalid();
        UpdateScrollBars();
    }
    if (repaint) {
        DoChange();
        Paint();
    }
    if (autoScroll && focused_ && host_)
        host_->startAutoScroll();
}

void TCustomRudivoVoru::UpdateScrollBars() {
    if (updateLock_ || !redraw_ || printing_ || !host_ || destroying_)
        return;
    const bool wrap = settings_->HasOption(smoWordWrap);
    if (wrap || scrollBars_ == ssNone || scrollBars_ == ssVertical)
        host_->setScrollBar(ScrollBarKind::Horizontal, 0, 0, 0, 0);
    else
        host_->setScrollBar(ScrollBarKind::Horizontal, 0, GetLongestLineLength(), visibleCols_,
                            leftCol_);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        const std::int32_t rows = store_->NumLines();
        const std::int32_t scale = ScaleFactor();
        std::int32_t page = visibleRows_;
        if (topLine_ > 0 && rows <= visibleRows_)
            page = rows - topLine_;
        host_->setScrollBar(ScrollBarKind::Vertical, 0, rows / scale, page / scale, topLine_ / scale);
    } else {
        host_->setScrollBar(ScrollBarKind::Vertical, 0, 0, 0, 0);
    }
}

void TCustomRudivoVoru::SetScrollBars(TScrollStyle Value) {
    if (Value == scrollBars_)
        return;
    scrollBars_ = Value;
    UpdateScrollBars();
}

// ---------------------------------------------------------------- the caret in view

void TCustomRudivoVoru::CaretInView(std::int32_t index) {
    const int textWidth = clientWidth_ - LeftRefPoint();
    if (!hasSize_ || textWidth <= 0 || clientHeight_ <= 0 || !store_->Buffer())
        return;
    const std::int32_t oldTop = topLine_;
    const std::int32_t oldLeft = leftCol_;
    const CaretRow info = caretRow(index);
    const int lineHeight = GetLineHeight();
    std::int32_t top = topLine_;
    if (info.index < top)
        top = info.index;
    if (clientHeight_ > lineHeight) {
        const std::int32_t fullRows = std::max(1, clientHeight_ / lineHeight);
        if (info.index >= top + fullRows)
            top = info.index - fullRows + 1;
    }
    if (top != topLine_)
        setTopLine(top);

    // Sideways in steps of 8 columns, so that typing at the right edge does
    // not scroll on every character. A caret beyond its line end counts at
    // its virtual column.
    const std::int32_t column = beyondEOL_ && index == sel_.chEnd ? virtualCol_
                                : info.phantom                    ? 0
                                               : CharOffsetToColumn(index - info.start, info.line);
    if (!fixedPitch_ && !info.phantom) {
        int x = ColumnToXCoord(column, info.line);
        while (x > clientWidth_ && info.line->Len() > leftCol_) {
            leftCol_ += 8;
            x = ColumnToXCoord(column, info.line);
        }
    }
    if (column < leftCol_)
        leftCol_ = std::max(0, leftCol_ - (leftCol_ - column + 7) / 8 * 8);
    const std::int32_t shown = std::max(1, visibleCols_);
    if (column >= leftCol_ + shown)
        leftCol_ += (column - (leftCol_ + shown)) / 8 * 8 + 8;
    if (settings_->HasOption(smoWordWrap) && column < visibleCols_)
        leftCol_ = 0;

    if (topLine_ != oldTop || leftCol_ != oldLeft) {
        ScreenInvalid();
        reasons_ |= crScrolled;
        UpdateScrollBars();
    }
}

// ---------------------------------------------------------------- wheel and drag

void TCustomRudivoVoru::DoMouseWheelDown(std::uint32_t shift, int x, int y, int lines) {
    if (OnMouseWheelDown && OnMouseWheelDown(*this, shift, x, y))
        return;
    perform(EM_LINESCROLL, 0, lines);
}

void TCustomRudivoVoru::DoMouseWheelUp(std::uint32_t shift, int x, int y, int lines) {
    if (OnMouseWheelUp && OnMouseWheelUp(*this, shift, x, y))
        return;
    perform(EM_LINESCROLL, 0, lines);
}

bool TCustomRudivoVoru::autoScrollOutside(int x, int y) const {
    return y < 0 || y >= clientHeight_ || x < LeftRefPoint() || x >= clientWidth_;
}

bool TCustomRudivoVoru::AutoScrollStep(int x, int y, bool leftButtonDown) {
    if (!leftButtonDown || !dragging_ || !autoScrollOutside(x, y))
        return false;
    std::int32_t top = topLine_;
    std::int32_t left = leftCol_;
    if (y < 0)
        --top;
    else if (y >= clientHeight_)
        ++top;
    if (x < LeftRefPoint())
        --left;
    else if (x >= clientWidth_)
        ++left;
    NewScrollPos(left, top, false, false);
    // The selection follows to the nearest text position on that edge.
    const int cx = std::clamp(x, LeftRefPoint(), std::max(LeftRefPoint(), clientWidth_ - 1));
    const int cy = std::clamp(y, 0, std::max(0, clientHeight_ - 1));
    SetSelection({sel_.chStart, IndexFromPos(cx, cy)}, true);
    DoChange();
    Paint();
    return true;
}

// ---------------------------------------------------------------- rows and lines

TTextStore::LineInfo TCustomRudivoVoru::InfoFromIndex(std::int32_t index) const {
    return store_->InfoFromIndex(index);
}

TLine* TCustomRudivoVoru::LineFromIndex(std::int32_t index, std::int32_t& rowStart) const {
    const TTextStore::LineInfo info = store_->InfoFromIndex(index);
    rowStart = info.start;
    return info.line;
}

TLine* TCustomRudivoVoru::LineFromLineIndex(std::int32_t rowNumber, std::int32_t& rowStart,
                                            std::int32_t& rowNumberReached) const {
    const TTextStore::LineInfo info = store_->LineFromLineIndex(std::max(0, rowNumber));
    rowStart = info.start;
    rowNumberReached = info.index;
    return info.line;
}

std::int32_t TCustomRudivoVoru::OffsetIntoLine(std::int32_t index) const {
    return index - store_->InfoFromIndex(index).start;
}

namespace {

// The most cells a record takes: every byte an invalid one, drawn as a
// two-cell box.
constexpr std::int32_t kMaxRecordCells = 2 * kMaxLineLen;

// The screen cells of one record of a UTF-8 text (tabs as one, as the byte
// count of an 8-bit text has them).
std::int32_t recordCells(std::string_view text) {
    if (isAscii(text))
        return std::min(static_cast<std::int32_t>(text.size()), kMaxRecordCells);
    std::int32_t cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        const TextCluster cluster = nextCluster(text, at);
        cells += cluster.cells;
        at = cluster.end;
    }
    return std::min(cells, kMaxRecordCells);
}

} // namespace

std::int32_t TCustomRudivoVoru::GetLongestLineLength() const {
    if (Encoding() != TextEncoding::Utf8)
        return store_->GetLongestLineLength();
    if (widest_.stamp != store_->EditStamp()) {
        widest_.records.assign(static_cast<std::size_t>(kMaxRecordCells) + 1, 0);
        for (const TLine* line = store_->Buffer(); line; line = store_->Next(line))
            ++widest_.records[static_cast<std::size_t>(recordCells(line->View()))];
        widest_.stamp = store_->EditStamp();
        widest_.cells = kMaxRecordCells;
        while (widest_.cells > 0 && widest_.records[static_cast<std::size_t>(widest_.cells)] == 0)
            --widest_.cells;
    }
    return widest_.cells;
}

std::vector<std::int32_t> TCustomRudivoVoru::recordCellsIn(std::int32_t from, std::int32_t to) const {
    std::vector<std::int32_t> cells;
    if (!store_->Buffer())
        return cells;
    const TLine* last = store_->InfoFromIndex(to).line;
    for (const TLine* line = store_->InfoFromIndex(from).line; line; line = store_->Next(line)) {
        cells.push_back(recordCells(line->View()));
        if (line == last)
            break;
    }
    return cells;
}

std::int32_t TCustomRudivoVoru::crBefore(std::int32_t offset) const {
    if (!store_->Buffer())
        return 0;
    offset = std::clamp(offset, 0, store_->NumChars());
    const std::uint64_t stamp = store_->EditStamp();
    if (lineCount_.stamp != stamp)
        lineCount_ = {stamp, 0, 0};
    const TTextStore::LineInfo target = store_->InfoFromIndex(offset);
    TTextStore::LineInfo from = store_->InfoFromIndex(lineCount_.offset);
    std::int32_t crs = lineCount_.crs;
    // From the text start when that is nearer than the remembered row.
    if (target.index < std::abs(target.index - from.index)) {
        from = store_->LineFromLineIndex(0);
        crs = 0;
    }
    TLine* row = from.line;
    for (std::int32_t i = from.index; i < target.index; ++i, row = store_->Next(row))
        crs += row->EndsWithCR() ? 1 : 0;
    for (std::int32_t i = from.index; i > target.index; --i) {
        row = store_->Prev(row);
        crs -= row->EndsWithCR() ? 1 : 0;
    }
    lineCount_ = {stamp, target.start, crs};
    // The end of a text whose last row ends with a carriage return.
    if (offset >= target.start + target.line->Len() && target.line->EndsWithCR())
        ++crs;
    return crs;
}

std::int32_t TCustomRudivoVoru::TextLineOfRow(std::int32_t rowStart) const {
    return crBefore(rowStart) + 1;
}

namespace {

// The first row of the text line holding `row`.
TLine* lineHead(const TTextStore& store, TLine* row, std::int32_t& start) {
    while (row->IsContinuation()) {
        TLine* prev = store.Prev(row);
        if (!prev)
            break;
        row = prev;
        start -= row->Len();
    }
    return row;
}

} // namespace

void TCustomRudivoVoru::CurrentViewToUnwrapped(std::int32_t row, std::int32_t column, std::int32_t& offset,
                                               std::int32_t& line) const {
    offset = line = 1;
    if (!store_->Buffer())
        return;
    const TTextStore::LineInfo info = store_->LineFromLineIndex(std::max(0, row - 1));
    std::int32_t headStart = info.start;
    lineHead(*store_, info.line, headStart);
    line = TextLineOfRow(info.start);
    offset = info.start - headStart + ColumnToCharOffset(std::max(0, column - 1), info.line) + 1;
}

TTextStore::LineInfo TCustomRudivoVoru::firstRowOfTextLine(std::int32_t line) const {
    // From the row whose carriage-return count is known, line by line.
    crBefore(lineCount_.offset);
    TTextStore::LineInfo at = store_->InfoFromIndex(lineCount_.offset);
    std::int32_t crs = lineCount_.crs;
    auto toHead = [&] {
        while (at.line->IsContinuation() && store_->Prev(at.line)) {
            at.line = store_->Prev(at.line);
            at.start -= at.line->Len();
            --at.index;
        }
    };
    toHead();
    const std::int32_t wanted = std::max(0, line - 1);
    while (crs < wanted) {
        TTextStore::LineInfo next = at;
        while (next.line && !next.line->EndsWithCR()) {
            next.start += next.line->Len();
            next.line = store_->Next(next.line);
            ++next.index;
        }
        if (!next.line || !store_->Next(next.line))
            break;
        next.start += next.line->Len();
        next.line = store_->Next(next.line);
        ++next.index;
        at = next;
        ++crs;
    }
    while (crs > wanted && store_->Prev(at.line)) {
        at.line = store_->Prev(at.line);
        at.start -= at.line->Len();
        --at.index;
        --crs;
        toHead();
    }
    lineCount_ = {store_->EditStamp(), at.start, crs};
    return at;
}

std::int32_t TCustomRudivoVoru::UnwrappedCharOffset(std::int32_t line, std::int32_t column) const {
    if (!store_->Buffer())
        return 0;
    const TTextStore::LineInfo head = firstRowOfTextLine(line);
    TLine* row = head.line;
    std::int32_t start = head.start;
    std::int32_t offset = std::max(1, column) - 1;
    while (offset >= row->Len() && !row->EndsWithCR() && store_->Next(row)) {
        offset -= row->Len();
        start += row->Len();
        row = store_->Next(row);
    }
    return start + std::min(offset, row->EndsWithCR() ? row->Len() - 1 : row->Len());
}

void TCustomRudivoVoru::UnwrappedToCurrentView(std::int32_t line, std::int32_t column,
                                               std::int32_t& viewColumn, std::int32_t& viewRow) const {
    viewColumn = viewRow = 1;
    if (!store_->Buffer())
        return;
    const std::int32_t index = UnwrappedCharOffset(line, column);
    const TTextStore::LineInfo info = store_->InfoFromIndex(index);
    viewRow = info.index + 1;
    viewColumn = CharOffsetToColumn(index - info.start, info.line) + 1;
}

} // namespace qorvi
