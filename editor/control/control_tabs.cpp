// Tab stops and the mapping between character offsets in a row and display
// columns (a TAB reaches the next tab stop; in a UTF-8 document a character
// takes its cells and the bytes of a character share its column).

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

#include <algorithm>

namespace qorvi {

std::int32_t TCustomRudivoVoru::NextTabStop(std::int32_t column) const {
    return settings_->NextTabStop(column);
}

bool TCustomRudivoVoru::laidOutInCells(const TLine& row) const {
    return Encoding() == TextEncoding::Utf8 && !isAscii(row.View());
}

void TCustomRudivoVoru::ExpandTabs(TLine* row, DisplayRow& out) const {
    if (!row) {
        out.Clear();
        return;
    }
    out.Expand(*row, settings_->GetTabStops(), settings_->TabDefault(), Encoding() == TextEncoding::Utf8);
}

std::int32_t TCustomRudivoVoru::CharOffsetToColumn(std::int32_t offset, TLine* row) const {
    if (!row)
        return std::max(0, offset);
    const std::int32_t len = row->Len();
    // At or past the end of a row that ends its line and is followed by
    // another, the caret stands on the carriage return.
    if (offset >= len && row->EndsWithCR() && store_->Next(row))
        offset = len - 1;
    offset = std::clamp(offset, 0, len);
    if (!(row->Flags() & lfHasTab) && !laidOutInCells(*row))
        return offset;
    ExpandTabs(row, displayRow_);
    return displayRow_.ColumnOfChar(offset);
}

std::int32_t TCustomRudivoVoru::ColumnToCharOffset(std::int32_t column, TLine* row) const {
    if (!row)
        return 0;
    const std::int32_t len = row->Len();
    const std::int32_t end = row->EndsWithCR() ? len - 1 : len;
    std::int32_t offset;
    if ((row->Flags() & lfHasTab) || laidOutInCells(*row)) {
        ExpandTabs(row, displayRow_);
        offset = displayRow_.FirstCharFrom(column);
    } else {
        offset = std::max(0, column);
    }
    // Past the row end: its carriage return (or the end of a row without).
    return std::min(offset, end);
}

std::int32_t TCustomRudivoVoru::CharOffsetToCurrentViewColumn(std::int32_t offset, std::int32_t row) const {
    if (!store_->Buffer())
        return 1;
    TLine* line = store_->LineFromLineIndex(std::clamp(row, 1, store_->NumLines()) - 1).line;
    return CharOffsetToColumn(offset, line) + 1;
}

std::int32_t TCustomRudivoVoru::CurrentViewColumnToCharOffset(std::int32_t column, std::int32_t row) const {
    if (!store_->Buffer())
        return 0;
    TLine* line = store_->LineFromLineIndex(std::clamp(row, 1, store_->NumLines()) - 1).line;
    return ColumnToCharOffset(std::max(1, column) - 1, line);
}

} // namespace qorvi
