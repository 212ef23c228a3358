// Style maintenance as the control drives it: every edit leaves a pending
// parse start; DoChange (or the edit itself) parses from there at once, as
// far as the rows on screen and a margin below them; the rest goes to idle
// slices, and any row is styled before it is painted (incremental_styler.h
// holds the algorithm).

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/incremental_styler.h"

#include <algorithm>

namespace qorvi {

std::int32_t TCustomRudivoVoru::syncLimit(std::int32_t pendingStart) const {
    const std::int32_t pendingIndex = store_->InfoFromIndex(pendingStart).index;
    const std::int64_t bottom = std::int64_t{topLine_} + visibleRows_;
    const std::int64_t last = std::max<std::int64_t>(pendingIndex, bottom) + std::max(0, SyncMarginRows);
    if (last + 1 >= store_->NumLines())
        return -1;
    return store_->LineFromLineIndex(static_cast<std::int32_t>(last + 1)).start;
}

void TCustomRudivoVoru::ParseRequired(TLine* row) {
    if (!row)
        return;
    row->AddFlags(lfParseStart);
    pendingParse_ = store_->OffsetOfLine(row);
    ParseText();
}

void TCustomRudivoVoru::ParseAllRequired() {
    if (!store_->Buffer())
        return;
    ParseRequired(store_->Buffer());
    StyleBefore(store_->NumChars());
}

void TCustomRudivoVoru::ParseText() {
    const std::int32_t pending = pendingParse_;
    pendingParse_ = -1;
    if (pending < 0 || !styler_->Parser() || !store_->Buffer())
        return;
    styler_->Parse(pending, syncLimit(pending));
    PostProcess();
    requestIdle();
    Paint();
}

void TCustomRudivoVoru::StyleBefore(std::int32_t offset) {
    if (pendingParse_ >= 0)
        ParseText();
    styler_->StyleBefore(offset);
}

bool TCustomRudivoVoru::StylingPending() const {
    return pendingParse_ >= 0 || styler_->HasWork();
}

void TCustomRudivoVoru::requestIdle() {
    if (host_ && styler_->HasWork())
        host_->scheduleIdle();
}

bool TCustomRudivoVoru::IdleWork() {
    if (destroying_)
        return false;
    if (pendingParse_ >= 0 && canNotify())
        ParseText();
    if (!styler_->HasWork())
        return false;
    const bool more = styler_->IdleSlice(IdleSliceChars);
    Paint();
    return more;
}

void TCustomRudivoVoru::InvalidateFormats() {
    for (TLine* row = store_->Buffer(); row; row = store_->Next(row)) {
        row->DropStyles();
        row->AddFlags(lfChanged);
    }
    styler_->Reset();
    pendingParse_ = store_->Buffer() ? 0 : -1;
    ScreenInvalid();
}

void TCustomRudivoVoru::MarkLinesChanged(TLine* row) {
    if (destroying_)
        return;
    for (; row; row = store_->Next(row))
        row->AddFlags(lfChanged);
}

void TCustomRudivoVoru::ScreenInvalid() {
    TLine* row = visLine_;
    for (std::int32_t i = 0; row && i < visibleRows_ + 2; ++i, row = store_->Next(row))
        row->AddFlags(lfRepaint);
    fullRepaint_ = true;
}

} // namespace qorvi
