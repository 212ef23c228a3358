#pragma once

// The ordered index behind every marker that lives at character offsets
// (custom marks, named bookmarks, breakpoints): entries sorted by start,
// kept in blocks of a few hundred that each carry an offset delta.
//
// An edit moves every marker behind it. Rather than touching each of them,
// the index changes the delta of every later block and touches entries only
// in the one block where the edit happened, so a document with a hundred
// thousand markers pays for an edit in proportion to the markers the edit
// really reaches (plus one addition per later block), not to all of them.
// Entry addresses never change, so they can serve as identifiers.

#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

class OffsetIndex {
public:
    struct Block;
    struct Entry {
        std::int32_t relStart = 0; // start without the block's delta
        std::int32_t relEnd = 0;
        Block* block = nullptr; // null while not linked
        std::uint32_t slot = 0; // place in the block
    };

    OffsetIndex();
    ~OffsetIndex();
    OffsetIndex(const OffsetIndex&) = delete;
    OffsetIndex& operator=(const OffsetIndex&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    static bool linked(const Entry* e) { return e && e->block; }
    static std::int32_t startOf(const Entry* e);
    static std::int32_t endOf(const Entry* e);

    Entry* first() const;
    Entry* last() const;
    Entry* next(const Entry* e) const;
    Entry* prev(const Entry* e) const;

    // Links `e` in start order, in front of entries with the same start (or
    // behind them with `afterEqual`).
    void insert(Entry* e, std::int32_t start, std::int32_t end, bool afterEqual = false);
    void remove(Entry* e);
    // Unlinks every entry (they are not freed: their owners free them).
    void clear();
    // Gives `e` a new range, relinking it when its start moves past others.
    void setRange(Entry* e, std::int32_t start, std::int32_t end, bool afterEqual = false);

    // The first entry whose start is at least `offset`, or null.
    Entry* lowerBound(std::int32_t offset) const;
    // Adds `delta` to the start and end of `from` and of every entry after
    // it. The caller keeps the order: nothing before `from` may end up
    // starting after it.
    void shiftFrom(Entry* from, std::int32_t delta);
    // The entries that start before `offset` and end at or after `minEnd`,
    // in order.
    std::vector<Entry*> startingBefore(std::int32_t offset, std::int32_t minEnd) const;

    // Checks order, links and block sums; the first broken rule, or empty.
    const char* verify() const;

private:
    void splitBlock(std::size_t index);
    void dropBlock(std::size_t index);
    void renumber(Block* block, std::size_t fromSlot) const;
    void refreshMax(Block* block) const;
    std::size_t blockFor(std::int32_t start, bool afterEqual) const;

    std::vector<std::unique_ptr<Block>> blocks_;
    std::size_t size_ = 0;
};

} // namespace qorvi
