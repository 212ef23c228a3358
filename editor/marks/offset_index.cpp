#include "editor/marks/offset_index.h"

#include <algorithm>
#include <climits>

namespace qorvi {

namespace {
constexpr std::size_t kBlockSize = 256; // a block splits past twice this
} // namespace

struct OffsetIndex::Block {
    std::vector<Entry*> items;
    std::int32_t delta = 0;
    std::size_t index = 0;
    mutable std::int32_t maxRelEnd = INT_MIN;
    mutable bool maxStale = false;
};

OffsetIndex::OffsetIndex() = default;

OffsetIndex::~OffsetIndex() {
    clear();
}

std::int32_t OffsetIndex::startOf(const Entry* e) {
    return e->relStart + e->block->delta;
}

std::int32_t OffsetIndex::endOf(const Entry* e) {
    return e->relEnd + e->block->delta;
}

OffsetIndex::Entry* OffsetIndex::first() const {
    return blocks_.empty() ? nullptr : blocks_.front()->items.front();
}

OffsetIndex::Entry* OffsetIndex::last() const {
    return blocks_.empty() ? nullptr : blocks_.back()->items.back();
}

OffsetIndex::Entry* OffsetIndex::next(const Entry* e) const {
    const Block* b = e->block;
    if (e->slot + 1 < b->items.size())
        return b->items[e->slot + 1];
    return b->index + 1 < blocks_.size() ? blocks_[b->index + 1]->items.front() : nullptr;
}

OffsetIndex::Entry* OffsetIndex::prev(const Entry* e) const {
    const Block* b = e->block;
    if (e->slot > 0)
        return b->items[e->slot - 1];
    return b->index > 0 ? blocks_[b->index - 1]->items.back() : nullptr;
}

void OffsetIndex::renumber(Block* block, std::size_t fromSlot) const {
    for (std::size_t i = fromSlot; i < block->items.size(); ++i)
        block->items[i]->slot = static_cast<std::uint32_t>(i);
}

void OffsetIndex::refreshMax(Block* block) const {
    if (!block->maxStale)
        return;
    block->maxRelEnd = INT_MIN;
    for (const Entry* e : block->items)
        block->maxRelEnd = std::max(block->maxRelEnd, e->relEnd);
    block->maxStale = false;
}

// The block an entry starting at `start` belongs in.
std::size_t OffsetIndex::blockFor(std::int32_t start, bool afterEqual) const {
    auto beyond = [&](const std::unique_ptr<Block>& b) {
        const std::int32_t lastStart = startOf(b->items.back());
        return afterEqual ? lastStart > start : lastStart >= start;
    };
    auto it = std::partition_point(blocks_.begin(), blocks_.end(),
                                   [&](const std::unique_ptr<Block>& b) { return !beyond(b); });
    if (it == blocks_.end())
        return blocks_.size() - 1;
    return static_cast<std::size_t>(it - blocks_.begin());
}

void OffsetIndex::insert(Entry* e, std::int32_t start, std::int32_t end, bool afterEqual) {
    Block* b = nullptr;
    if (blocks_.empty()) {
        blocks_.push_back(std::make_unique<Block>());
        b = blocks_.back().get();
    } else {
        b = blocks_[blockFor(start, afterEqual)].get();
    }
    auto pos = std::partition_point(b->items.begin(), b->items.end(), [&](const Entry* x) {
        const std::int32_t s = startOf(x);
        return afterEqual ? s <= start : s < start;
    });
    const std::size_t slot = static_cast<std::size_t>(pos - b->items.begin());
    e->block = b;
    e->relStart = start - b->delta;
    e->relEnd = end - b->delta;
    b->items.insert(pos, e);
    renumber(b, slot);
    if (!b->maxStale)
        b->maxRelEnd = std::max(b->maxRelEnd, e->relEnd);
    ++size_;
    if (b->items.size() > 2 * kBlockSize)
        splitBlock(b->index);
}

void OffsetIndex::splitBlock(std::size_t index) {
    Block* b = blocks_[index].get();
    auto half = std::make_unique<Block>();
    half->delta = b->delta;
    half->items.assign(b->items.begin() + static_cast<std::ptrdiff_t>(kBlockSize), b->items.end());
    b->items.resize(kBlockSize);
    for (Entry* e : half->items)
        e->block = half.get();
    renumber(half.get(), 0);
    b->maxStale = half->maxStale = true;
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(half));
    for (std::size_t i = index + 1; i < blocks_.size(); ++i)
        blocks_[i]->index = i;
}

void OffsetIndex::dropBlock(std::size_t index) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < blocks_.size(); ++i)
        blocks_[i]->index = i;
}

void OffsetIndex::remove(Entry* e) {
    if (!linked(e))
        return;
    Block* b = e->block;
    const std::size_t slot = e->slot;
    b->items.erase(b->items.begin() + static_cast<std::ptrdiff_t>(slot));
    renumber(b, slot);
    if (e->relEnd >= b->maxRelEnd)
        b->maxStale = true;
    // Keep the absolute range readable while the owner still looks at it.
    e->relStart += b->delta;
    e->relEnd += b->delta;
    e->block = nullptr;
    --size_;
    if (b->items.empty())
        dropBlock(b->index);
}

void OffsetIndex::clear() {
    for (auto& b : blocks_) {
        for (Entry* e : b->items) {
            e->relStart += b->delta;
            e->relEnd += b->delta;
            e->block = nullptr;
        }
    }
    blocks_.clear();
    size_ = 0;
}

void OffsetIndex::setRange(Entry* e, std::int32_t start, std::int32_t end, bool afterEqual) {
    if (!linked(e))
        return;
    const Entry* before = prev(e);
    const Entry* after = next(e);
    // Equal starts may stay in any order: ties only decide where a new
    // entry goes.
    const bool keepsOrder = (!before || startOf(before) <= start) && (!after || startOf(after) >= start);
    if (!keepsOrder) {
        remove(e);
        insert(e, start, end, afterEqual);
        return;
    }
    Block* b = e->block;
    if (e->relEnd >= b->maxRelEnd)
        b->maxStale = true;
    e->relStart = start - b->delta;
    e->relEnd = end - b->delta;
    if (!b->maxStale)
        b->maxRelEnd = std::max(b->maxRelEnd, e->relEnd);
}

OffsetIndex::Entry* OffsetIndex::lowerBound(std::int32_t offset) const {
    auto it = std::partition_point(blocks_.begin(), blocks_.end(), [&](const std::unique_ptr<Block>& b) {
        return startOf(b->items.back()) < offset;
    });
    if (it == blocks_.end())
        return nullptr;
    const Block* b = it->get();
    auto pos = std::partition_point(b->items.begin(), b->items.end(),
                                    [&](const Entry* x) { return startOf(x) < offset; });
    return pos == b->items.end() ? nullptr : *pos;
}

void OffsetIndex::shiftFrom(Entry* from, std::int32_t delta) {
    if (!linked(from) || delta == 0)
        return;
    Block* b = from->block;
    if (from->slot == 0) {
        b->delta += delta;
    } else {
        for (std::size_t i = from->slot; i < b->items.size(); ++i) {
            b->items[i]->relStart += delta;
            b->items[i]->relEnd += delta;
        }
        b->maxStale = true;
    }
    for (std::size_t i = b->index + 1; i < blocks_.size(); ++i)
        blocks_[i]->delta += delta;
}

std::vector<OffsetIndex::Entry*> OffsetIndex::startingBefore(std::int32_t offset, std::int32_t minEnd) const {
    std::vector<Entry*> found;
    for (const auto& b : blocks_) {
        if (startOf(b->items.front()) >= offset)
            break;
        refreshMax(b.get());
        if (b->maxRelEnd + b->delta < minEnd)
            continue;
        for (Entry* e : b->items) {
            if (startOf(e) >= offset)
                break;
            if (endOf(e) >= minEnd)
                found.push_back(e);
        }
    }
    return found;
}

const char* OffsetIndex::verify() const {
    std::size_t count = 0;
    const Entry* previous = nullptr;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block* b = blocks_[i].get();
        if (b->index != i)
            return "block index";
        if (b->items.empty())
            return "empty block";
        refreshMax(const_cast<Block*>(b));
        std::int32_t maxEnd = INT_MIN;
        for (std::size_t s = 0; s < b->items.size(); ++s) {
            const Entry* e = b->items[s];
            if (e->block != b || e->slot != s)
                return "entry link";
            if (previous && startOf(previous) > startOf(e))
                return "start order";
            maxEnd = std::max(maxEnd, e->relEnd);
            previous = e;
            ++count;
        }
        if (maxEnd != b->maxRelEnd)
            return "block end";
    }
    return count == size_ ? "" : "entry count";
}

} // namespace qorvi
