#include "editor/marks/line_track.h"

namespace qorvi {

TLineTrack::~TLineTrack() {
    while (head_)
        Remove(head_);
}

TLineTrackItem* TLineTrack::Add(std::int32_t data) {
    auto* item = new TLineTrackItem;
    item->owner = this;
    item->data = data;
    item->prev = tail_;
    if (tail_)
        tail_->next = item;
    else
        head_ = item;
    tail_ = item;
    return item;
}

void TLineTrack::Remove(TLineTrackItem* item) {
    if (!item || item->owner != this)
        return;
    if (item->prev)
        item->prev->next = item->next;
    else
        head_ = item->next;
    if (item->next)
        item->next->prev = item->prev;
    else
        tail_ = item->prev;
    if (onFree_)
        onFree_(item);
    delete item;
}

} // namespace qorvi
