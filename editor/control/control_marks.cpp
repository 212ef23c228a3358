// Numbered bookmarks with the caret, and line tracks (user handles on lines
// that follow their text, which the document window uses for collapsed
// sections). Line numbers are 1-based record numbers; with word wrap a mark
// goes to the first row of its text line.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/numbered_bookmarks.h"

#include <algorithm>

namespace qorvi {

// ---------------------------------------------------------------- numbered bookmarks

void TCustomRudivoVoru::SetBookmark(int index, std::int32_t line, std::int32_t column) {
    NumberedBookmarks marks(*store_);
    if (index < 0 || index > 9)
        throw ERudivoVoru(kMsgBookmarkIndexRange);
    if (line == -1) {
        const CaretRow row = caretRow(sel_.chEnd);
        line = std::min(row.index + 1, store_->NumLines());
        column = row.phantom ? 1 : sel_.chEnd - row.start + 1;
    }
    const bool set =
        marks.SetBookmark(index, std::max(1, line), std::max(1, column), settings_->HasOption(smoWordWrap));
    if (set && OnBookmarkSet)
        OnBookmarkSet(*this, index);
    ScreenInvalid();
    Paint();
}

bool TCustomRudivoVoru::IsBookmarkSet(int index, std::int32_t& line, std::int32_t& column) const {
    return NumberedBookmarks(*store_).IsBookmarkSet(index, line, column);
}

void TCustomRudivoVoru::ClearBookmark(int index) {
    NumberedBookmarks marks(*store_);
    if (index < 0 || index > 9)
        throw ERudivoVoru(kMsgBookmarkIndexRange);
    marks.ClearBookmark(index);
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::JumpToBookmark(int index) {
    const TTextStore::LineInfo info = NumberedBookmarks(*store_).Find(index);
    const std::int32_t column = index >= 0 && index <= 9 ? store_->GetBookmarkCol(index) : 0;
    if (!info.line || column == 0)
        return;
    const std::int32_t content = info.line->Len() - (info.line->EndsWithCR() ? 1 : 0);
    // The bookmark's line becomes the middle of the window.
    NewScrollPos(leftCol_, info.index - visibleRows_ / 2, false, false);
    moveCaret(info.start + std::min(column - 1, content), false);
}

// ---------------------------------------------------------------- line tracks

TLineTrackManager& TCustomRudivoVoru::tracks() const {
    if (!tracks_) {
        tracks_ = std::make_unique<TLineTrackManager>(*store_);
        auto* self = const_cast<TCustomRudivoVoru*>(this);
        tracks_->SetOnTrackAdd([self](TTrackID id) {
            if (self->OnTrackAdd)
                self->OnTrackAdd(*self, id);
        });
        tracks_->SetOnTrackFree([self](TTrackID id) {
            if (self->OnTrackFree)
                self->OnTrackFree(*self, id);
        });
    }
    return *tracks_;
}

TTrackID TCustomRudivoVoru::AddLineTrack(std::int32_t line, std::int32_t data) {
    return tracks().AddLineTrack(line, data, settings_->HasOption(smoWordWrap));
}

void TCustomRudivoVoru::RemoveLineTrack(TTrackID id) {
    tracks().RemoveLineTrack(id);
}

bool TCustomRudivoVoru::IsLineTrackIDValid(TTrackID id) const {
    return tracks().IsLineTrackIDValid(id);
}

std::int32_t TCustomRudivoVoru::GetLineTrackData(TTrackID id) const {
    return tracks().GetLineTrackData(id);
}

void TCustomRudivoVoru::SetLineTrackData(TTrackID id, std::int32_t data) {
    tracks().SetLineTrackData(id, data);
}

TTrackID TCustomRudivoVoru::GetFirstLineTrackID() const {
    return tracks().GetFirstLineTrackID();
}

TTrackID TCustomRudivoVoru::NextLineTrackID(TTrackID id) const {
    return tracks().NextLineTrackID(id);
}

std::int32_t TCustomRudivoVoru::LineTrackIDToLineNo(TTrackID id) const {
    return tracks().LineTrackIDToLineNo(id);
}

TTrackID TCustomRudivoVoru::GetFirstTrackIDOnLine(std::int32_t line) const {
    return tracks().GetFirstTrackIDOnLine(line, settings_->HasOption(smoWordWrap));
}

void TCustomRudivoVoru::ClearLineTracks() {
    tracks().ClearLineTracks();
}

} // namespace qorvi
