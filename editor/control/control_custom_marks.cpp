// Custom marks, named bookmarks and the breakpoint events through the
// control. The markers live in the text store, so that every control showing
// it sees the same ones; the store tells each of those controls of their
// events, and each raises its own.

#include "editor/control/rudivo_voru.h"
#include "editor/marks/mark_list.h"

#include <algorithm>

namespace qorvi {

// ---------------------------------------------------------------- custom marks

TMark* TCustomRudivoVoru::AddMark(std::int32_t Start, std::int32_t Length, std::int32_t UserData) {
    const std::int32_t total = store_->NumChars();
    std::int64_t from = std::clamp<std::int64_t>(Start, 0, total);
    std::int64_t to = std::clamp<std::int64_t>(static_cast<std::int64_t>(Start) + Length, 0, total);
    if (to < from)
        std::swap(from, to);
    TMark* mark = store_->EnsureObjectList().AddMark(static_cast<std::int32_t>(from),
                                                      static_cast<std::int32_t>(to - from), UserData);
    ScreenInvalid();
    Paint();
    return mark;
}

void TCustomRudivoVoru::RemoveMark(TMark* ID) {
    TMarkList* marks = store_->ObjectList();
    if (!marks || !marks->IsMarkIDValid(ID))
        return;
    marks->RemoveMark(ID);
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::ClearCustomMarks() {
    if (TMarkList* marks = store_->ObjectList())
        marks->ClearMarks();
    redraw_ = true;
    ScreenInvalid();
    Paint();
}

bool TCustomRudivoVoru::IsMarkIDValid(const TMark* ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks && marks->IsMarkIDValid(ID);
}

bool TCustomRudivoVoru::IsMarkPresent(std::int32_t Start, std::int32_t Length, TMark*& ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks && marks->IsMarkPresent(Start, Length, ID);
}

TMark* TCustomRudivoVoru::GetFirstMark() const {
    const TMarkList* marks = store_->ObjectList();
    return marks ? marks->GetFirstMark() : nullptr;
}

TMark* TCustomRudivoVoru::GetLastMark() const {
    const TMarkList* marks = store_->ObjectList();
    return marks ? marks->GetLastMark() : nullptr;
}

bool TCustomRudivoVoru::NextMark(TMark*& ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks && marks->NextMark(ID);
}

bool TCustomRudivoVoru::PrevMark(TMark*& ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks && marks->PrevMark(ID);
}

std::int32_t TCustomRudivoVoru::GetMarkStartPos(const TMark* ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks ? marks->GetMarkStartPos(ID) : -1;
}

std::int32_t TCustomRudivoVoru::GetMarkEndPos(const TMark* ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks ? marks->GetMarkEndPos(ID) : -1;
}

void TCustomRudivoVoru::SetMarkStartPos(TMark* ID, std::int32_t P) {
    if (!IsMarkIDValid(ID))
        return;
    store_->ObjectList()->SetMarkStartPos(ID, std::clamp(P, 0, store_->NumChars()));
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::SetMarkEndPos(TMark* ID, std::int32_t P) {
    if (!IsMarkIDValid(ID))
        return;
    store_->ObjectList()->SetMarkEndPos(ID, std::clamp(P, 0, store_->NumChars()));
    ScreenInvalid();
    Paint();
}

std::int32_t TCustomRudivoVoru::GetMarkUserData(const TMark* ID) const {
    const TMarkList* marks = store_->ObjectList();
    return marks ? marks->GetMarkUserData(ID) : 0;
}

void TCustomRudivoVoru::SetMarkUserData(TMark* ID, std::int32_t UserData) {
    if (IsMarkIDValid(ID))
        store_->ObjectList()->SetMarkUserData(ID, UserData);
}

bool TCustomRudivoVoru::GetMarkExtents(const TMark* ID, std::int32_t& StartLine, std::int32_t& StartCol,
                                       std::int32_t& EndLine, std::int32_t& EndCol) const {
    if (!IsMarkIDValid(ID) || !store_->Buffer())
        return false;
    auto place = [&](std::int32_t offset, std::int32_t& line, std::int32_t& column) {
        const TTextStore::LineInfo info = store_->InfoFromIndex(offset);
        if (info.line->EndsWithCR() && offset - info.start >= info.line->Len()) {
            // The end of a text whose last line is ended: the empty line after it.
            line = info.index + 2;
            column = 1;
            return;
        }
        line = info.index + 1;
        column = CharOffsetToColumn(offset - info.start, info.line) + 1;
    };
    place(GetMarkStartPos(ID), StartLine, StartCol);
    place(GetMarkEndPos(ID), EndLine, EndCol);
    return true;
}

void TCustomRudivoVoru::SetMarkExtents(TMark* ID, std::int32_t StartLine, std::int32_t StartCol,
                                       std::int32_t EndLine, std::int32_t EndCol) {
    if (!IsMarkIDValid(ID) || !store_->Buffer())
        return;
    auto offsetOf = [&](std::int32_t line, std::int32_t column) {
        if (line > store_->NumLines()) // past the last line: the end of the text
            return store_->NumChars();
        const TTextStore::LineInfo info =
            store_->LineFromLineIndex(std::clamp(line, 1, store_->NumLines()) - 1);
        return info.start + ColumnToCharOffset(std::max(1, column) - 1, info.line);
    };
    const std::int32_t a = offsetOf(StartLine, StartCol);
    const std::int32_t b = offsetOf(EndLine, EndCol);
    store_->ObjectList()->SetMarkRange(ID, std::min(a, b), std::max(a, b));
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::markChanged(TMark* mark) {
    if (OnMarkChange)
        OnMarkChange(*this, mark);
}

void TCustomRudivoVoru::markFreed(TMark* mark) {
    if (OnMarkFree)
        OnMarkFree(*this, mark);
}

// ---------------------------------------------------------------- named bookmarks

void TCustomRudivoVoru::AddCustomBookmark(const std::string& Name, std::int32_t Offset) {
    const std::int32_t at = Offset == -1 ? sel_.chEnd : std::clamp(Offset, 0, store_->NumChars());
    store_->CustomBookmarks().AddBookmark(Name, at);
}

void TCustomRudivoVoru::RemoveCustomBookmark(const std::string& Name) {
    store_->CustomBookmarks().DeleteBookmark(Name);
}

bool TCustomRudivoVoru::GotoCustomBookmark(const std::string& Name) {
    const std::int32_t at = HasCustomBookmark(Name);
    if (at < 0)
        return false;
    SetSelection({at, at});
    return true;
}

std::int32_t TCustomRudivoVoru::HasCustomBookmark(const std::string& Name) const {
    return store_->CustomBookmarks().SeekBookmarkByName(Name);
}

const std::vector<std::pair<std::string, std::int32_t>>& TCustomRudivoVoru::GetCustBMList() {
    store_->BookmarkList() = store_->CustomBookmarks().RetrieveBookmarks();
    return store_->BookmarkList();
}

void TCustomRudivoVoru::CustomBookmarksToStream(TStream& Stream) const {
    store_->CustomBookmarks().SaveToStream(Stream);
}

void TCustomRudivoVoru::CustomBookmarksFromStream(TStream& Stream) {
    store_->CustomBookmarks().LoadFromStream(Stream);
}

void TCustomRudivoVoru::customBookmarkFreed(const std::string& name) {
    if (OnCustomBookmarkFree)
        OnCustomBookmarkFree(*this, name);
}

// ---------------------------------------------------------------- breakpoints

void TCustomRudivoVoru::DoBreakpointFree(TSM_BreakpointData* Data) {
    if (OnBreakpointFree)
        OnBreakpointFree(*this, Data);
}

void TCustomRudivoVoru::DoBreakpointStateChange(TSM_BreakpointData* Data) {
    if (OnBreakpointStateChange)
        OnBreakpointStateChange(*this, Data);
}

void TCustomRudivoVoru::breakpointFreed(TSM_BreakpointData* data) {
    DoBreakpointFree(data);
}

void TCustomRudivoVoru::breakpointStateChanged(TSM_BreakpointData* data) {
    DoBreakpointStateChange(data);
}

} // namespace qorvi
