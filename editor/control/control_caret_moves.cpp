// The caret as rows see it and how it moves: rows (a text that ends with a
// line break has one more, empty row after its last record, where the caret
// stands after that break), the last place the caret may take in a row, the
// display column it aims for when it moves up and down, its place beyond a
// line end, and word boundaries.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

#include <algorithm>

namespace qorvi {
namespace {

unsigned char charAt(const TTextStore& store, std::int32_t index) {
    if (index < 0 || index >= store.NumChars())
        return 0;
    std::int32_t start = 0;
    const TLine* row = store.LineFromIndex(index, &start);
    return static_cast<unsigned char>(row->Text()[index - start]);
}

} // namespace

// ---------------------------------------------------------------- rows

std::int32_t TCustomRudivoVoru::rowCount() const {
    const TLine* last = store_->LastLine();
    return store_->NumLines() + (!last || last->EndsWithCR() ? 1 : 0);
}

TCustomRudivoVoru::CaretRow TCustomRudivoVoru::caretRow(std::int32_t index) const {
    const std::int32_t length = store_->NumChars();
    index = std::clamp(index, 0, length);
    const TLine* last = store_->LastLine();
    if (!last || (index == length && last->EndsWithCR()))
        return {nullptr, store_->NumLines(), length, true};
    const TTextStore::LineInfo info = store_->InfoFromIndex(index);
    return {info.line, info.index, info.start, false};
}

TCustomRudivoVoru::CaretRow TCustomRudivoVoru::rowByNumber(std::int32_t number) const {
    number = std::clamp(number, 0, rowCount() - 1);
    if (number >= store_->NumLines())
        return {nullptr, store_->NumLines(), store_->NumChars(), true};
    const TTextStore::LineInfo info = store_->LineFromLineIndex(number);
    return {info.line, info.index, info.start, false};
}

std::int32_t TCustomRudivoVoru::rowCaretLimit(const CaretRow& row) const {
    if (row.phantom)
        return row.start;
    const std::int32_t len = row.line->Len();
    // A cut line's next row starts where this one ends: the caret there
    // belongs to the next row.
    if (row.line->EndsWithCR() || store_->Next(row.line))
        return row.start + std::max(0, len - 1);
    return row.start + len;
}

std::int32_t TCustomRudivoVoru::indexAtColumn(const CaretRow& row, std::int32_t column) const {
    if (row.phantom)
        return row.start;
    const std::int32_t offset = ColumnToCharOffset(std::max(0, column), row.line);
    return std::min(row.start + offset, rowCaretLimit(row));
}

std::int32_t TCustomRudivoVoru::columnOfIndex(std::int32_t index) const {
    const CaretRow row = caretRow(index);
    if (row.phantom)
        return 0;
    return CharOffsetToColumn(std::clamp(index, 0, store_->NumChars()) - row.start, row.line);
}

std::int32_t TCustomRudivoVoru::CaretColumn() const {
    return beyondEOL_ ? virtualCol_ : columnOfIndex(sel_.chEnd);
}

bool TCustomRudivoVoru::CanProcessCaretAfterEOL() const {
    return settings_->HasOption(smoCaretAfterEOL) && fixedPitch_;
}

// ---------------------------------------------------------------- moves

void TCustomRudivoVoru::moveCaret(std::int32_t index, bool extend) {
    beyondEOL_ = false;
    reasons_ |= crSelection;
    applySelection(extend ? TChRange{sel_.chStart, index} : TChRange{index, index}, false);
}

void TCustomRudivoVoru::moveCaretBeyond(std::int32_t index, std::int32_t column, bool extend) {
    beyondEOL_ = true;
    virtualCol_ = std::min(column, kMaxLineLen);
    reasons_ |= crSelection;
    applySelection(extend ? TChRange{sel_.chStart, index} : TChRange{index, index}, false);
}

void TCustomRudivoVoru::setCaretFromColumn(const CaretRow& row, std::int32_t column, bool extend) {
    const std::int32_t index = indexAtColumn(row, column);
    const bool lineEnd = row.phantom || row.line->EndsWithCR() || !store_->Next(row.line);
    if (CanProcessCaretAfterEOL() && lineEnd && index == rowCaretLimit(row) && column > columnOfIndex(index))
        moveCaretBeyond(index, column, extend);
    else
        moveCaret(index, extend);
}

void TCustomRudivoVoru::SetCaretColumn(std::int32_t index, std::int32_t column) {
    setCaretFromColumn(caretRow(index), column, false);
}

void TCustomRudivoVoru::moveRows(std::int32_t rows, bool extend) {
    const CaretRow from = caretRow(sel_.chEnd);
    const std::int64_t target = std::int64_t{from.index} + rows;
    if (rows > 0 && target >= rowCount()) {
        // Past the last row: the end of the text.
        moveCaret(store_->NumChars(), extend);
        return;
    }
    const CaretRow to = rowByNumber(static_cast<std::int32_t>(std::max<std::int64_t>(0, target)));
    const bool track = settings_->HasOption(smoColumnTrack);
    std::int32_t column = CaretColumn();
    if (CanProcessCaretAfterEOL()) {
        // The caret keeps its column, beyond the line end if need be.
    } else if (fixedPitch_ || !measuringCanvas()) {
        if (track)
            column = rememberedCol_;
    } else {
        // A proportional font: the same x on the other row.
        const int x = ColumnToXCoord(column, from.line);
        if (x >= 0)
            column = XCoordToColumn(x, to.line);
    }
    verticalMove_ = track;
    setCaretFromColumn(to, column, extend);
    verticalMove_ = false;
}

void TCustomRudivoVoru::pageMove(bool down, bool extend) {
    const std::int32_t rows = std::max(1, visibleRows_);
    NewScrollPos(leftCol_, topLine_ + (down ? rows : -rows), false, false);
    moveRows(down ? rows : -rows, extend);
}

void TCustomRudivoVoru::scrollLine(bool down) {
    NewScrollPos(leftCol_, topLine_ + (down ? 1 : -1), false, true);
    const CaretRow row = caretRow(sel_.chEnd);
    const std::int32_t shown = std::max(1, visibleRows_);
    if (row.index < topLine_)
        moveRows(1, false);
    else if (row.index >= topLine_ + shown)
        moveRows(-1, false);
}

TCustomRudivoVoru::TPoint TCustomRudivoVoru::GetCPos() const {
    const CaretRow row = caretRow(sel_.chEnd);
    return {sel_.chEnd - row.start + 1, row.index + 1};
}

void TCustomRudivoVoru::SetCPos(const TPoint& pos) {
    const CaretRow row = rowByNumber(std::max(1, pos.y) - 1);
    const std::int64_t index = std::int64_t{row.start} + std::max<std::int64_t>(0, std::int64_t{pos.x} - 1);
    moveCaret(static_cast<std::int32_t>(std::min<std::int64_t>(index, rowCaretLimit(row))), false);
}

// ---------------------------------------------------------------- words

std::int32_t TCustomRudivoVoru::WordBefore(std::int32_t index) const {
    index = std::clamp(index, 0, store_->NumChars());
    std::int32_t pos = index;
    for (;;) {
        std::int32_t i = pos;
        while (i > 0 && !IsWordChar(charAt(*store_, i - 1)))
            --i;
        if (i == 0)
            return -1;
        while (i > 0 && IsWordChar(charAt(*store_, i - 1)))
            --i;
        // The run's first word start (a digit or "'" does not start a word).
        std::int32_t start = i;
        for (std::int32_t j = i; IsWordChar(charAt(*store_, j)); ++j)
            if (IsWordStart(charAt(*store_, j))) {
                start = j;
                break;
            }
        if (start < index)
            return start;
        // The word starts at the caret: the one before it is meant.
        pos = i;
    }
}

std::int32_t TCustomRudivoVoru::WordAfter(std::int32_t index) const {
    const std::int32_t length = store_->NumChars();
    std::int32_t i = std::clamp(index, 0, length);
    while (i < length && IsWordChar(charAt(*store_, i)))
        ++i;
    while (i < length && !IsWordChar(charAt(*store_, i)))
        ++i;
    if (i >= length)
        return -1;
    for (std::int32_t j = i; j < length && IsWordChar(charAt(*store_, j)); ++j)
        if (IsWordStart(charAt(*store_, j)))
            return j;
    return i;
}

void TCustomRudivoVoru::DoSelectWord() {
    const std::int32_t length = store_->NumChars();
    std::int32_t i = sel_.chEnd;
    if (i > 0 && (i >= length || !IsWordChar(charAt(*store_, i))))
        --i;
    if (!IsWordChar(charAt(*store_, i)))
        return;
    std::int32_t start = i;
    while (start > 0 && IsWordChar(charAt(*store_, start - 1)))
        --start;
    std::int32_t end = i;
    while (end < length && IsWordChar(charAt(*store_, end)))
        ++end;
    SetSelection({start, end});
}

} // namespace qorvi
