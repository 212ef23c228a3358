#pragma once

// Line tracks: user handles attached to a line record, which stay with the
// record through edits and are freed with it. A record's TLineTrack is made
// on first use; the control's register gives each item its identifier.
// Freeing an item (with its record, or through the list) fires the free
// notification so that the control can drop the identifier.

#include <cstdint>
#include <functional>

namespace qorvi {

class TLine;
class TLineTrack;

struct TLineTrackItem {
    TLineTrack* owner = nullptr;
    std::int32_t data = 0;
    std::intptr_t id = -1; // given by the control's register; -1 until then
    TLineTrackItem* next = nullptr;
    TLineTrackItem* prev = nullptr;
};

class TLineTrack {
public:
    using FreeNotify = std::function<void(TLineTrackItem* item)>;

    explicit TLineTrack(TLine* line, FreeNotify onFree = {}) : line_(line), onFree_(std::move(onFree)) {}
    // Frees every item, firing the free notification for each.
    ~TLineTrack();
    TLineTrack(const TLineTrack&) = delete;
    TLineTrack& operator=(const TLineTrack&) = delete;

    TLine* Line() const { return line_; }
    TLineTrackItem* First() const { return head_; }
    bool IsEmpty() const { return head_ == nullptr; }

    // Appends an item carrying `data`.
    TLineTrackItem* Add(std::int32_t data);
    // Unlinks and frees an item of this list, firing the free notification.
    void Remove(TLineTrackItem* item);
    void SetFreeNotify(FreeNotify onFree) { onFree_ = std::move(onFree); }

private:
    TLine* line_;
    FreeNotify onFree_;
    TLineTrackItem* head_ = nullptr;
    TLineTrackItem* tail_ = nullptr;
};

} // namespace qorvi
