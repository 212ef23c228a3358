#include "editor/line_track_manager.h"

#include "editor/rudivo_voru_error.h"
#include "editor/text_store.h"

#include <cstdio>
#include <vector>

namespace qorvi {

namespace {
TTrackID idOf(const TLineTrackItem* item) {
    return reinterpret_cast<TTrackID>(item);
}
} // namespace

TLineTrackManager::TLineTrackManager(TTextStore& store) : store_(store) {
    store_.SetTrackFreeNotify([this](TLineTrackItem* item) { freed(item); });
}

TLineTrackManager::~TLineTrackManager() {
    // Tracks outlive the register: they must not call back into it.
    store_.SetTrackFreeNotify({});
    for (const TLineTrackItem* item : valid_)
        item->owner->SetFreeNotify({});
}

void TLineTrackManager::freed(TLineTrackItem* item) {
    if (!valid_.count(item))
        return;
    if (onFree_)
        onFree_(idOf(item));
    valid_.erase(item);
}

TLineTrackItem* TLineTrackManager::checked(TTrackID id) const {
    auto* item = reinterpret_cast<TLineTrackItem*>(id);
    if (!valid_.count(item)) {
        char message[64];
        std::snprintf(message, sizeof message, kMsgInvalidTrackId, static_cast<int>(id));
        throw ERudivoVoru(message);
    }
    return item;
}

TTrackID TLineTrackManager::AddLineTrack(std::int32_t Line, std::int32_t Data, bool textLineStart) {
    if (Line <= 0 || Line > store_.NumLines())
        return -1;
    TLine* line = store_.LineFromLineIndex(Line - 1).line;
    while (textLineStart && line->IsContinuation() && store_.Prev(line))
        line = store_.Prev(line);
    TLineTrack& tracks = store_.EnsureTracks(line);
    // A list made before this register existed reports to it too.
    tracks.SetFreeNotify([this](TLineTrackItem* item) { freed(item); });
    TLineTrackItem* item = tracks.Add(Data);
    valid_.insert(item);
    if (onAdd_)
        onAdd_(idOf(item));
    return idOf(item);
}

void TLineTrackManager::RemoveLineTrack(TTrackID ID) {
    TLineTrackItem* item = checked(ID);
    item->owner->Remove(item); // fires freed()
}

bool TLineTrackManager::IsLineTrackIDValid(TTrackID ID) const {
    return valid_.count(reinterpret_cast<const TLineTrackItem*>(ID)) != 0;
}

std::int32_t TLineTrackManager::GetLineTrackData(TTrackID ID) const {
    return checked(ID)->data;
}

void TLineTrackManager::SetLineTrackData(TTrackID ID, std::int32_t Data) {
    checked(ID)->data = Data;
}

TTrackID TLineTrackManager::firstFrom(const TLine* line) const {
    if (valid_.empty())
        return -1;
    for (; line; line = store_.Next(line)) {
        if (!line->HasExtras())
            continue;
        if (const TLineTrack* tracks = store_.Tracks(line); tracks && tracks->First())
            return idOf(tracks->First());
    }
    return -1;
}

TTrackID TLineTrackManager::GetFirstLineTrackID() const {
    return firstFrom(store_.Buffer());
}

TTrackID TLineTrackManager::NextLineTrackID(TTrackID ID) const {
    const TLineTrackItem* item = checked(ID);
    if (item->next)
        return idOf(item->next);
    return firstFrom(store_.Next(item->owner->Line()));
}

std::int32_t TLineTrackManager::LineTrackIDToLineNo(TTrackID ID) const {
    return store_.IndexOfLine(checked(ID)->owner->Line()) + 1;
}

TTrackID TLineTrackManager::GetFirstTrackIDOnLine(std::int32_t Line, bool textLineStart) const {
    if (Line <= 0 || Line > store_.NumLines())
        return -1;
    const TLine* line = store_.LineFromLineIndex(Line - 1).line;
    while (textLineStart && line->IsContinuation() && store_.Prev(line))
        line = store_.Prev(line);
    const TLineTrack* tracks = store_.Tracks(line);
    return tracks && tracks->First() ? idOf(tracks->First()) : -1;
}

void TLineTrackManager::ClearLineTracks() {
    std::vector<const TLineTrackItem*> all(valid_.begin(), valid_.end());
    for (const TLineTrackItem* item : all) {
        if (valid_.count(item))
            item->owner->Remove(const_cast<TLineTrackItem*>(item));
    }
}

} // namespace qorvi
