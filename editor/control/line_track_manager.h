#pragma once

// The control's register of line-track identifiers. A track is a user
// handle on a line record (the document window marks collapsed sections
// with them). Its identifier is a serial number that is never given out
// again: an address would be reused by the next track allocated after one
// is freed, so a holder of a stale identifier would silently reach another
// track (the collapse list then wrote a hidden line twice). A stale
// identifier gives "Invalid track ID (%d)". Tracks freed with their record
// (a deleted line) leave the register through the store's free notification.
//
// Line numbers are one-based record numbers.

#include "editor/marks/line_track.h"

#include <cstdint>
#include <functional>
#include <unordered_map>

namespace qorvi {

class TTextStore;

using TTrackID = std::intptr_t; // -1: none

inline constexpr const char* kMsgInvalidTrackId = "Invalid track ID (%d)";

class TLineTrackManager {
public:
    using TrackNotify = std::function<void(TTrackID id)>;

    // Binds the store's track-free notification to this register.
    explicit TLineTrackManager(TTextStore& store);
    ~TLineTrackManager();
    TLineTrackManager(const TLineTrackManager&) = delete;
    TLineTrackManager& operator=(const TLineTrackManager&) = delete;

    // Bound by the control to OnTrackAdd and OnTrackFree.
    void SetOnTrackAdd(TrackNotify notify) { onAdd_ = std::move(notify); }
    void SetOnTrackFree(TrackNotify notify) { onFree_ = std::move(notify); }

    // -1 for Line <= 0 or a missing line. With `textLineStart` the track
    // goes to the first record of the text line (word wrap).
    TTrackID AddLineTrack(std::int32_t Line, std::int32_t Data, bool textLineStart = false);
    // Frees the track: OnTrackFree fires, then the identifier is dropped.
    void RemoveLineTrack(TTrackID ID);
    bool IsLineTrackIDValid(TTrackID ID) const;
    std::int32_t GetLineTrackData(TTrackID ID) const;
    void SetLineTrackData(TTrackID ID, std::int32_t Data);
    // The first item of the first record with tracks, or -1.
    TTrackID GetFirstLineTrackID() const;
    // The next item on the same record, else the first of the next record
    // with tracks, else -1.
    TTrackID NextLineTrackID(TTrackID ID) const;
    std::int32_t LineTrackIDToLineNo(TTrackID ID) const;
    TTrackID GetFirstTrackIDOnLine(std::int32_t Line, bool textLineStart = false) const;
    // Frees every track (free notifications fire).
    void ClearLineTracks();
    std::size_t Count() const { return valid_.size(); }

private:
    TLineTrackItem* checked(TTrackID id) const;
    TTrackID firstFrom(const TLine* line) const;
    void freed(TLineTrackItem* item);

    TTextStore& store_;
    std::unordered_map<TTrackID, TLineTrackItem*> valid_;
    TTrackID nextId_ = 1;
    TrackNotify onAdd_;
    TrackNotify onFree_;
};

} // namespace qorvi
