#pragma once

// The store's list of custom marks: character ranges with a kind and a
// caller's value, such as the words a spelling checker underlines. The
// control creates the list on first use and hands it to the store, which
// owns it so that every control showing the store sees the same marks. A
// mark's identifier is its address; every operation that takes one checks
// it first, so a stale identifier reads as nothing rather than as freed
// memory.
//
// Marks follow the text: the control reports each insertion and deletion
// (Inserted, Deleted). A deletion never leaves a mark ending before it
// starts: a mark that loses its end is cut back to the deletion start, a
// mark that loses its start begins at the deletion start, and a mark wholly
// inside the deleted text is freed.

#include "editor/marks/offset_index.h"

#include <cstdint>
#include <functional>
#include <unordered_set>

namespace qorvi {

enum TObjType : std::uint8_t { objCUSTOM_MARK = 0 };

struct TMark : OffsetIndex::Entry {
    TObjType Kind = objCUSTOM_MARK;
    std::int32_t UserData = 0;
};

class TMarkList {
public:
    using MarkNotify = std::function<void(TMark* id)>;

    TMarkList() = default;
    // Frees every mark (without notifications: the control is going too).
    virtual ~TMarkList();
    TMarkList(const TMarkList&) = delete;
    TMarkList& operator=(const TMarkList&) = delete;

    // Bound by the control to OnMarkChange and OnMarkFree.
    void SetOnMarkChange(MarkNotify notify) { onChange_ = std::move(notify); }
    void SetOnMarkFree(MarkNotify notify) { onFree_ = std::move(notify); }

    // A new mark over [Start, Start + Length), normalised when Length < 0,
    // linked in start order behind marks with the same start.
    TMark* AddMark(std::int32_t Start, std::int32_t Length, std::int32_t UserData,
                   TObjType Kind = objCUSTOM_MARK);
    // Unlinks and frees a mark, without notification.
    void RemoveMark(TMark* ID);
    // Frees every mark, firing the free notification for each.
    void ClearMarks();

    bool IsMarkIDValid(const TMark* ID) const { return ID && live_.count(ID) != 0; }
    // The first mark in start order that overlaps [Start, Start + Length]
    // (ends included).
    bool IsMarkPresent(std::int32_t Start, std::int32_t Length, TMark*& ID) const;
    std::size_t Count() const { return index_.size(); }

    TMark* GetFirstMark() const { return static_cast<TMark*>(index_.first()); }
    TMark* GetLastMark() const { return static_cast<TMark*>(index_.last()); }
    // Moves ID to the next (previous) mark; false at the end or for an
    // invalid identifier.
    bool NextMark(TMark*& ID) const;
    bool PrevMark(TMark*& ID) const;

    // -1 (0 for user data) for an invalid identifier.
    std::int32_t GetMarkStartPos(const TMark* ID) const;
    std::int32_t GetMarkEndPos(const TMark* ID) const;
    std::int32_t GetMarkUserData(const TMark* ID) const;
    // A start beyond the end (an end before the start) swaps the two; the
    // mark is relinked in start order. Invalid identifiers are ignored.
    void SetMarkStartPos(TMark* ID, std::int32_t P);
    void SetMarkEndPos(TMark* ID, std::int32_t P);
    void SetMarkRange(TMark* ID, std::int32_t Start, std::int32_t End);
    void SetMarkUserData(TMark* ID, std::int32_t UserData);

    // `Count` characters were inserted at `Pos`: marks from Pos on move,
    // marks reaching Pos grow. The changed notification fires for each.
    void Inserted(std::int32_t Pos, std::int32_t Count);
    // [Pos, Pos + Count) was deleted (see the top of the file). Changed and
    // free notifications fire once the list is consistent again.
    void Deleted(std::int32_t Pos, std::int32_t Count);

    const OffsetIndex& Index() const { return index_; }

private:
    void notifyChangedFrom(TMark* first, std::vector<TMark*>& changed) const;

    OffsetIndex index_;
    std::unordered_set<const TMark*> live_;
    MarkNotify onChange_;
    MarkNotify onFree_;
};

} // namespace qorvi
