#include "editor/control/line_track_manager.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/text/text_store.h"

#include <cstdio>
#include <vector>

namespace qorvi {

namespace {
TTrackID idOf(const TLineTrackItem* item) {
    return item->id;
}
} // namespace

TLineTrackManager::TLineTrackManager(TTextStore& store) : store_(store) {
    store_.SetTrackFreeNotify([this](TLineTrackItem* item) { freed(item); });
}

TLineTrackManager::~TLineTrackManager() {
    // Tracks outlive the register: they must not call back into it.
    store_.SetTrackFreeNotify({});
    for (const auto& entry : valid_)
        entry.second->owner->SetFreeNotify({});
}

void TLineTrackManager::freed(TLineTrackItem* item) {
    auto it = valid_.find(item->id);
    if (it == valid_.end() || it->second != item)
        return;
    if (onFree_)
        onFree_(item->id);
    valid_.erase(it);
}

TLineTrackItem* TLineTrackManager::checked(TTrackID id) const {
    auto it = valid_.find(id);
    if (it == valid_.end()) {
        char message[64];
        std::snprintf(message, sizeof message, kMsgInvalidTrackId, static_cast<int>(id));
        throw ERudivoVoru(message);
    }
    return it->second;
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
    item->id = nextId_++;
    valid_.emplace(item->id, item);
    if (onAdd_)
        onAdd_(idOf(item));
    return idOf(item);
}

void TLineTrackManager::RemoveLineTrack(TTrackID ID) {
    TLineTrackItem* item = checked(ID);
    item->owner->Remove(item); // fires freed()
}

bool TLineTrackManager::IsLineTrackIDValid(TTrackID ID) const {
    return valid_.count(ID) != 0;
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
    std::vector<TTrackID> all;
    all.reserve(valid_.size());
    for (const auto& entry : valid_)
        all.push_back(entry.first);
    for (TTrackID id : all) {
        if (auto it = valid_.find(id); it != valid_.end())
            it->second->owner->Remove(it->second);
    }
}

} // namespace qorvi
