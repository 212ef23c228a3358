#include "editor/marks/mark_list.h"

#include <algorithm>
#include <vector>

namespace qorvi {

TMarkList::~TMarkList() {
    std::vector<TMark*> marks;
    for (TMark* m = GetFirstMark(); m; m = static_cast<TMark*>(index_.next(m)))
        marks.push_back(m);
    index_.clear();
    for (TMark* m : marks)
        delete m;
}

TMark* TMarkList::AddMark(std::int32_t Start, std::int32_t Length, std::int32_t UserData, TObjType Kind) {
    std::int64_t end = static_cast<std::int64_t>(Start) + Length;
    std::int64_t start = Start;
    if (end < start)
        std::swap(start, end);
    start = std::max<std::int64_t>(start, 0);
    end = std::clamp<std::int64_t>(end, start, INT32_MAX);
    auto* mark = new TMark;
    mark->Kind = Kind;
    mark->UserData = UserData;
    index_.insert(mark, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end), true);
    live_.insert(mark);
    return mark;
}

void TMarkList::RemoveMark(TMark* ID) {
    if (!IsMarkIDValid(ID))
        return;
    index_.remove(ID);
    live_.erase(ID);
    delete ID;
}

void TMarkList::ClearMarks() {
    std::vector<TMark*> marks;
    for (TMark* m = GetFirstMark(); m; m = static_cast<TMark*>(index_.next(m)))
        marks.push_back(m);
    index_.clear();
    for (TMark* m : marks) {
        if (onFree_)
            onFree_(m);
        live_.erase(m);
        delete m;
    }
}

bool TMarkList::IsMarkPresent(std::int32_t Start, std::int32_t Length, TMark*& ID) const {
    const std::int64_t last =
        std::min<std::int64_t>(static_cast<std::int64_t>(Start) + std::max(Length, 0), INT32_MAX - 1);
    std::vector<OffsetIndex::Entry*> found =
        index_.startingBefore(static_cast<std::int32_t>(last) + 1, Start);
    if (found.empty())
        return false;
    ID = static_cast<TMark*>(found.front());
    return true;
}

bool TMarkList::NextMark(TMark*& ID) const {
    if (!IsMarkIDValid(ID))
        return false;
    auto* next = static_cast<TMark*>(index_.next(ID));
    if (!next)
        return false;
    ID = next;
    return true;
}

bool TMarkList::PrevMark(TMark*& ID) const {
    if (!IsMarkIDValid(ID))
        return false;
    auto* prev = static_cast<TMark*>(index_.prev(ID));
    if (!prev)
        return false;
    ID = prev;
    return true;
}

std::int32_t TMarkList::GetMarkStartPos(const TMark* ID) const {
    return IsMarkIDValid(ID) ? OffsetIndex::startOf(ID) : -1;
}

std::int32_t TMarkList::GetMarkEndPos(const TMark* ID) const {
    return IsMarkIDValid(ID) ? OffsetIndex::endOf(ID) : -1;
}

std::int32_t TMarkList::GetMarkUserData(const TMark* ID) const {
    return IsMarkIDValid(ID) ? ID->UserData : 0;
}

void TMarkList::SetMarkRange(TMark* ID, std::int32_t Start, std::int32_t End) {
    if (!IsMarkIDValid(ID))
        return;
    if (End < Start)
        std::swap(Start, End);
    index_.setRange(ID, std::max(Start, 0), std::max(End, 0), true);
}

void TMarkList::SetMarkStartPos(TMark* ID, std::int32_t P) {
    if (IsMarkIDValid(ID))
        SetMarkRange(ID, P, OffsetIndex::endOf(ID));
}

void TMarkList::SetMarkEndPos(TMark* ID, std::int32_t P) {
    if (IsMarkIDValid(ID))
        SetMarkRange(ID, OffsetIndex::startOf(ID), P);
}

void TMarkList::SetMarkUserData(TMark* ID, std::int32_t UserData) {
    if (IsMarkIDValid(ID))
        ID->UserData = UserData;
}

void TMarkList::notifyChangedFrom(TMark* first, std::vector<TMark*>& changed) const {
    if (!onChange_)
        return;
    // Only with a listener: then every moved mark must be reported anyway.
    for (TMark* m = first; m; m = static_cast<TMark*>(index_.next(m)))
        changed.push_back(m);
}

void TMarkList::Inserted(std::int32_t Pos, std::int32_t Count) {
    if (Count <= 0 || index_.empty())
        return;
    std::vector<TMark*> changed;
    for (OffsetIndex::Entry* e : index_.startingBefore(Pos, Pos)) {
        index_.setRange(e, OffsetIndex::startOf(e), OffsetIndex::endOf(e) + Count, true);
        changed.push_back(static_cast<TMark*>(e));
    }
    auto* first = static_cast<TMark*>(index_.lowerBound(Pos));
    index_.shiftFrom(first, Count);
    notifyChangedFrom(first, changed);
    if (onChange_) {
        for (TMark* m : changed)
            onChange_(m);
    }
}

void TMarkList::Deleted(std::int32_t Pos, std::int32_t Count) {
    if (Count <= 0 || index_.empty())
        return;
    const std::int64_t stop = static_cast<std::int64_t>(Pos) + Count;
    std::vector<TMark*> changed;
    std::vector<TMark*> freed;
    // Marks that start before the deletion and reach into it lose what was
    // deleted of them, never more than back to the deletion start.
    for (OffsetIndex::Entry* e : index_.startingBefore(Pos, Pos + 1)) {
        const std::int64_t end = OffsetIndex::endOf(e);
        index_.setRange(e, OffsetIndex::startOf(e),
                        static_cast<std::int32_t>(std::max<std::int64_t>(Pos, end - Count)), true);
        changed.push_back(static_cast<TMark*>(e));
    }
    // Marks that start inside the deletion begin at its start, or go when
    // they lie wholly inside it.
    auto* m = static_cast<TMark*>(index_.lowerBound(Pos));
    while (m && OffsetIndex::startOf(m) < stop) {
        auto* next = static_cast<TMark*>(index_.next(m));
        const std::int64_t end = OffsetIndex::endOf(m);
        if (end <= stop) {
            index_.remove(m);
            freed.push_back(m);
        } else {
            index_.setRange(m, Pos, static_cast<std::int32_t>(end - Count), true);
            changed.push_back(m);
        }
        m = next;
    }
    // m is now the first mark behind the deletion.
    index_.shiftFrom(m, -Count);
    notifyChangedFrom(m, changed);
    if (onChange_) {
        for (TMark* c : changed)
            onChange_(c);
    }
    for (TMark* f : freed) {
        if (onFree_)
            onFree_(f);
        live_.erase(f);
        delete f;
    }
}

} // namespace qorvi
