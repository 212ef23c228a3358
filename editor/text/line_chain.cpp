#include "editor/text/line_chain.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace qorvi {

namespace {
constexpr std::uint32_t kLeafMax = 64;
constexpr std::uint32_t kLeafMin = 16;
constexpr std::uint32_t kMaxLeaves = 1u << 24; // leaf numbers share a word with the flags

// Writes style runs as EncodeStyleRuns would: a stretch of one style is
// runs of 255 and then the rest, so that runs compare with runs exactly.
class RunWriter {
public:
    explicit RunWriter(std::uint8_t* out) : out_(out) {}
    std::size_t bytes() const { return bytes_; }
    bool endsWith(std::uint8_t style) const { return bytes_ && out_[bytes_ - 1] == style; }
    // Copies runs that are already in that form and follow a different style.
    void copy(const std::uint8_t* runs, std::size_t bytes) {
        std::memcpy(out_ + bytes_, runs, bytes);
        bytes_ += bytes;
    }
    void add(int count, std::uint8_t style) {
        if (count > 0 && endsWith(style)) {
            const int take = std::min(count, 255 - out_[bytes_ - 2]);
            out_[bytes_ - 2] = static_cast<std::uint8_t>(out_[bytes_ - 2] + take);
            count -= take;
        }
        for (; count > 0; count -= 255) {
            out_[bytes_++] = static_cast<std::uint8_t>(std::min(count, 255));
            out_[bytes_++] = style;
        }
    }

private:
    std::uint8_t* out_;
    std::size_t bytes_ = 0;
};
} // namespace

std::uint64_t LineChain::freshStampBase() {
    static std::atomic<std::uint64_t> chains{0};
    return (chains.fetch_add(1, std::memory_order_relaxed) + 1) << 32;
}

LineChain::LineChain() : leaves_(1) {
}

LineChain::~LineChain() {
    clear();
}

// ---------------------------------------------------------------- records

std::uint32_t LineChain::newRecord() {
    std::uint32_t id;
    if (freeRecords_) {
        id = freeRecords_;
        freeRecords_ = at(id)->next_;
    } else {
        if (freshRecord_ == 0) // every record number is in use
            throw std::bad_alloc();
        id = freshRecord_;
        if ((id >> kChunkBits) >= chunks_.size())
            addChunk();
        ++freshRecord_;
    }
    *at(id) = TLine();
    return id;
}

void LineChain::addChunk() {
    const std::size_t chunkBytes = kChunkSize * sizeof(TLine);
    const std::size_t made = chunks_.size();
    if (made == chunks_.capacity())
        chunks_.reserve(2 * made + kOwnBlockChunks); // so that the push below cannot throw
    char* block;
    if (made < kOwnBlockChunks) {
        chunkMemory_.emplace_back(chunkBytes);
        block = chunkMemory_.back().data();
    } else {
        const std::size_t inSlab = (made - kOwnBlockChunks) % kSlabChunks;
        if (inSlab == 0)
            chunkMemory_.emplace_back(kSlabChunks * chunkBytes);
        block = chunkMemory_.back().data() + inSlab * chunkBytes;
    }
    TLine* records = reinterpret_cast<TLine*>(block);
    std::uninitialized_value_construct_n(records, kChunkSize);
    chunks_.push_back(records);
}

void LineChain::freeRecord(std::uint32_t id) {
    TLine* line = at(id);
    *line = TLine();
    line->next_ = freeRecords_;
    freeRecords_ = id;
}

void LineChain::freeText(TLine* line) {
    if (!line->data_)
        return;
    if (line->hasBit(TLine::kArenaText))
        text_.releaseExact(line->data_, line->Len() + line->runBytes());
    else
        LineTextAllocator::releaseHeap(line->data_);
    line->data_ = nullptr;
}

TLine* LineChain::insertAfter(TLine* after, const char* text, std::uint16_t len) {
    assert(len >= 1 && len <= kMaxLineLen);
    // Everything that can fail comes before the record is linked.
    std::uint32_t id = newRecord();
    TLine* line = at(id);
    try {
        line->data_ = text_.allocateExact(len);
        if (!after && !head_)
            leaves_.reserve(leaves_.size() + 1);
    } catch (...) {
        freeRecord(id);
        throw;
    }
    std::memcpy(line->data_, text, len);
    line->setLen(len);
    line->setBit(TLine::kArenaText, true);

    std::uint32_t afterId = after ? idOf(after) : 0;
    std::uint32_t nextId = after ? after->next_ : head_;
    line->prev_ = afterId;
    line->next_ = nextId;
    if (afterId)
        at(afterId)->next_ = id;
    else
        head_ = id;
    if (nextId)
        at(nextId)->prev_ = id;
    else
        tail_ = id;
    ++lines_;
    chars_ += len;
    ++stamp_;

    std::uint32_t leaf = after ? after->leaf() : nextId ? at(nextId)->leaf() : 0;
    if (!leaf) {
        leaf = newLeaf();
        Leaf& l = leaves_[leaf];
        l.first = id;
        l.count = 1;
        l.chars = len;
        l.maxLen = len;
        line->setLeaf(leaf);
        treapInsertAfter(0, leaf);
        return line;
    }
    Leaf& l = leaves_[leaf];
    if (!after)
        l.first = id;
    ++l.count;
    l.chars += len;
    l.maxLen = std::max(l.maxLen, len);
    line->setLeaf(leaf);
    touch(leaf);
    if (l.count > kLeafMax) {
        try {
            splitLeaf(leaf, id);
        } catch (const std::bad_alloc&) {
            // An oversized leaf is still a correct one.
        }
    }
    return line;
}

void LineChain::erase(TLine* line) {
    std::uint32_t id = idOf(line);
    std::uint32_t leaf = line->leaf();
    std::uint16_t len = line->Len();
    if (line->prev_)
        at(line->prev_)->next_ = line->next_;
    else
        head_ = line->next_;
    if (line->next_)
        at(line->next_)->prev_ = line->prev_;
    else
        tail_ = line->prev_;

    Leaf& l = leaves_[leaf];
    --l.count;
    l.chars -= len;
    if (l.first == id)
        l.first = l.count ? line->next_ : 0;
    freeText(line);
    freeRecord(id);
    --lines_;
    chars_ -= len;
    ++stamp_;

    if (l.count == 0) {
        l.maxLen = 0;
        treapRemove(leaf);
        if (dirty_ == leaf)
            dirty_ = 0;
        leaves_[leaf] = Leaf();
        leaves_[leaf].parent = freeLeaves_;
        freeLeaves_ = leaf;
        return;
    }
    if (len == l.maxLen)
        recountLeaf(leaf);
    touch(leaf);
    if (l.count < kLeafMin)
        mergeSmallLeaf(leaf);
}

void LineChain::splice(TLine* line, int at, int removeCount, const char* insert, int insertCount,
                       std::uint8_t fill) {
    const int oldLen = line->Len();
    const int newLen = oldLen - removeCount + insertCount;
    if (at < 0 || removeCount < 0 || insertCount < 0 || at + removeCount > oldLen || newLen < 1 ||
        newLen > kMaxLineLen)
        throw std::logic_error("record splice out of range");

    // The new text, then its style runs.
    char buffer[3 * kMaxLineLen];
    const char* old = line->data_;
    const int tail = oldLen - at - removeCount;
    std::memcpy(buffer, old, at);
    if (insertCount > 0)
        std::memcpy(buffer + at, insert, insertCount);
    std::memcpy(buffer + at + insertCount, old + at + removeCount, tail);
    std::size_t runBytes = 0;
    const bool styled = line->IsStyled();
    if (styled) {
        // The runs are cut and joined at the edit, never expanded to a byte
        // per character: typing and replacing do this on every change.
        const std::uint8_t* r = line->runs();
        RunWriter out(reinterpret_cast<std::uint8_t*>(buffer) + newLen);
        std::size_t i = 0;
        int pos = 0; // start of run i
        while (pos < at && pos + r[i] <= at)
            pos += r[i], i += 2;
        out.copy(r, i);
        if (pos < at)
            out.add(at - pos, r[i + 1]);
        out.add(insertCount, fill);
        const int cut = at + removeCount;
        while (pos < oldLen && pos + r[i] <= cut)
            pos += r[i], i += 2;
        if (pos < oldLen) {
            out.add(pos + r[i] - cut, r[i + 1]);
            pos += r[i], i += 2;
        }
        // Runs of the style just written may have to fill up; from the
        // first of another style on, the old runs stay as they are.
        for (; pos < oldLen && out.endsWith(r[i + 1]); pos += r[i], i += 2)
            out.add(r[i], r[i + 1]);
        out.copy(r + i, line->runBytes() - i);
        runBytes = out.bytes();
    }
    const int need = newLen + static_cast<int>(runBytes);

    bool arena = line->hasBit(TLine::kArenaText);
    int capacity = arena ? 0 : LineTextAllocator::heapCapacity(line->data_);
    if (arena || capacity < need || capacity > 4 * need + 64) {
        // A record being edited is likely to be edited again: leave it room.
        char* block = LineTextAllocator::allocateHeap(roomFor(need));
        freeText(line);
        line->data_ = block;
        line->setBit(TLine::kArenaText, false);
    }
    std::memcpy(line->data_, buffer, static_cast<std::size_t>(need));
    line->setLen(static_cast<std::uint16_t>(newLen));
    line->setBit(TLine::kRunsStored, styled);

    std::uint32_t leaf = line->leaf();
    Leaf& l = leaves_[leaf];
    l.chars = l.chars - oldLen + newLen;
    if (newLen > l.maxLen)
        l.maxLen = static_cast<std::uint16_t>(newLen);
    else if (oldLen == l.maxLen && newLen < oldLen)
        recountLeaf(leaf);
    chars_ += newLen - oldLen;
    ++stamp_;
    touch(leaf);
}

std::uint16_t LineChain::roomFor(int bytes) {
    return static_cast<std::uint16_t>(std::min(3 * kMaxLineLen, (bytes + bytes / 4 + 15) & ~15));
}

bool LineChain::setStyles(TLine* line, const std::uint8_t* styles) noexcept {
    std::uint8_t runs[2 * kMaxLineLen];
    return setStyleRuns(line, runs, EncodeStyleRuns(styles, line->Len(), runs));
}

bool LineChain::setStyleRuns(TLine* line, const std::uint8_t* runs, std::size_t runBytes) noexcept {
    const int len = line->Len();
    const std::size_t need = static_cast<std::size_t>(len) + runBytes;
    const bool arena = line->hasBit(TLine::kArenaText);
    const bool fits = arena ? line->runBytes() == runBytes && line->hasBit(TLine::kRunsStored)
                            : LineTextAllocator::heapCapacity(line->data_) >= need;
    if (!fits) {
        // A record parsed once usually parses the same way again, so an
        // arena record stays in the arena, exactly sized.
        char* block;
        try {
            block = arena ? text_.allocateExact(need) : LineTextAllocator::allocateHeap(roomFor(static_cast<int>(need)));
        } catch (const std::bad_alloc&) {
            line->DropStyles();
            return false;
        }
        std::memcpy(block, line->data_, static_cast<std::size_t>(len));
        freeText(line);
        line->data_ = block;
        line->setBit(TLine::kArenaText, arena);
    }
    std::memcpy(line->data_ + len, runs, runBytes);
    line->setBit(TLine::kRunsStored, true);
    line->setBit(TLine::kStyled, true);
    return true;
}

void LineChain::clear() {
    for (std::uint32_t id = head_; id;) {
        TLine* line = at(id);
        if (!line->hasBit(TLine::kArenaText))
            LineTextAllocator::releaseHeap(line->data_);
        id = line->next_;
    }
    text_.clear();
    chunks_.clear();
    chunkMemory_.clear();
    freeRecords_ = 0;
    freshRecord_ = 1;
    leaves_.assign(1, Leaf());
    freeLeaves_ = 0;
    root_ = 0;
    dirty_ = 0;
    head_ = tail_ = 0;
    lines_ = 0;
    chars_ = 0;
    ++stamp_;
}

std::size_t LineChain::memoryUse() const {
    std::size_t bytes = chunks_.size() * kChunkSize * sizeof(TLine) + leaves_.capacity() * sizeof(Leaf);
    bytes += text_.arenaBytes();
    for (std::uint32_t id = head_; id;) {
        const TLine* line = at(id);
        if (!line->hasBit(TLine::kArenaText))
            bytes += 2u + LineTextAllocator::heapCapacity(line->data_);
        id = line->next_;
    }
    return bytes;
}

std::string LineChain::verify() const {
    flush();
    std::int64_t chars = 0;
    std::int32_t lines = 0;
    std::uint32_t prevId = 0;
    std::uint32_t currentLeaf = 0;
    std::uint32_t leafCount = 0;
    std::vector<std::uint32_t> leafOrder;
    for (std::uint32_t id = head_; id; id = at(id)->next_) {
        const TLine* line = at(id);
        if (line->prev_ != prevId)
            return "prev link broken";
        if (line->Len() < 1 || line->Len() > kMaxLineLen)
            return "record length out of range";
        if (line->leaf() != currentLeaf) {
            if (currentLeaf && leafCount != leaves_[currentLeaf].count)
                return "leaf count wrong";
            currentLeaf = line->leaf();
            if (leaves_[currentLeaf].first != id)
                return "leaf first record wrong";
            leafOrder.push_back(currentLeaf);
            leafCount = 0;
        }
        ++leafCount;
        chars += line->Len();
        ++lines;
        prevId = id;
    }
    if (prevId != tail_)
        return "tail wrong";
    if (currentLeaf && leafCount != leaves_[currentLeaf].count)
        return "last leaf count wrong";
    if (chars != chars_ || lines != lines_)
        return "counters wrong";
    // In-order walk of the treap must give the leaves in text order with right sums.
    std::vector<std::uint32_t> inOrder;
    std::string problem;
    auto walk = [&](auto&& self, std::uint32_t node, std::uint32_t parent) -> void {
        if (!node || !problem.empty())
            return;
        const Leaf& n = leaves_[node];
        if (n.parent != parent)
            problem = "treap parent link broken";
        self(self, n.left, node);
        inOrder.push_back(node);
        self(self, n.right, node);
        const Leaf& a = leaves_[n.left];
        const Leaf& b = leaves_[n.right];
        if (n.subCount != n.count + a.subCount + b.subCount ||
            n.subChars != n.chars + a.subChars + b.subChars ||
            n.subMax != std::max({n.maxLen, a.subMax, b.subMax}))
            problem = "treap sums wrong";
        std::uint32_t c = 0;
        std::uint16_t m = 0;
        std::uint32_t id = n.first;
        for (std::uint32_t i = 0; i < n.count; ++i) {
            c += at(id)->Len();
            m = std::max(m, at(id)->Len());
            id = at(id)->next_;
        }
        if (c != n.chars || m != n.maxLen)
            problem = "leaf sums wrong";
    };
    walk(walk, root_, 0);
    if (!problem.empty())
        return problem;
    if (inOrder != leafOrder)
        return "treap order differs from the chain";
    return {};
}

// ---------------------------------------------------------------- look-ups

std::uint16_t LineChain::longest() const {
    flush();
    return root_ ? leaves_[root_].subMax : 0;
}

template <bool byChars>
LineChain::Descent LineChain::descend(std::uint64_t rest) const {
    Descent d{root_, rest, 0, 0};
    for (;;) {
        const Leaf& n = leaves_[d.leaf];
        const Leaf& left = leaves_[n.left];
        const std::uint64_t leftSize = byChars ? left.subChars : left.subCount;
        if (n.left && d.rest < leftSize) {
            d.leaf = n.left;
            continue;
        }
        if (n.left) {
            d.rest -= leftSize;
            d.start += static_cast<std::int64_t>(left.subChars);
            d.index += static_cast<std::int32_t>(left.subCount);
        }
        const std::uint64_t own = byChars ? n.chars : n.count;
        if (d.rest < own)
            return d;
        d.rest -= own;
        d.start += n.chars;
        d.index += static_cast<std::int32_t>(n.count);
        d.leaf = n.right;
        assert(d.leaf);
    }
}

LineChain::Position LineChain::atOffset(std::int64_t offset) const {
    flush();
    if (!head_)
        return {};
    if (offset >= chars_) {
        TLine* line = last();
        return {line, lines_ - 1, chars_ - line->Len()};
    }
    Descent d = descend<true>(static_cast<std::uint64_t>(std::max<std::int64_t>(offset, 0)));
    std::uint64_t rest = d.rest;
    std::int64_t start = d.start;
    std::int32_t index = d.index;
    TLine* line = at(leaves_[d.leaf].first);
    while (rest >= line->Len()) {
        rest -= line->Len();
        start += line->Len();
        ++index;
        line = at(line->next_);
    }
    return {line, index, start};
}

LineChain::Position LineChain::atIndex(std::int64_t index) const {
    flush();
    if (!head_)
        return {};
    Descent d = descend<false>(static_cast<std::uint64_t>(std::clamp<std::int64_t>(index, 0, lines_ - 1)));
    std::uint64_t rest = d.rest;
    std::int64_t start = d.start;
    std::int32_t reached = d.index;
    TLine* line = at(leaves_[d.leaf].first);
    for (; rest > 0; --rest) {
        start += line->Len();
        ++reached;
        line = at(line->next_);
    }
    return {line, reached, start};
}

LineChain::Position LineChain::positionOf(TLine* line) const {
    flush();
    std::uint32_t x = line->leaf();
    const Leaf& leaf = leaves_[x];
    std::int64_t start = leaf.left ? leaves_[leaf.left].subChars : 0;
    std::int32_t index = leaf.left ? leaves_[leaf.left].subCount : 0;
    for (std::uint32_t p = leaf.parent; p; x = p, p = leaves_[p].parent) {
        const Leaf& parent = leaves_[p];
        if (parent.right == x) {
            if (parent.left) {
                start += leaves_[parent.left].subChars;
                index += leaves_[parent.left].subCount;
            }
            start += parent.chars;
            index += parent.count;
        }
    }
    for (const TLine* r = at(leaf.first); r != line; r = at(r->next_)) {
        start += r->Len();
        ++index;
    }
    return {line, index, start};
}

std::int64_t LineChain::offsetOf(const TLine* line) const {
    return positionOf(const_cast<TLine*>(line)).start;
}

std::int32_t LineChain::indexOf(const TLine* line) const {
    return positionOf(const_cast<TLine*>(line)).index;
}

// ---------------------------------------------------------------- leaves

std::uint32_t LineChain::newLeaf() {
    std::uint32_t id;
    if (freeLeaves_) {
        id = freeLeaves_;
        freeLeaves_ = leaves_[id].parent;
        leaves_[id] = Leaf();
    } else {
        if (leaves_.size() >= kMaxLeaves)
            throw std::bad_alloc();
        id = static_cast<std::uint32_t>(leaves_.size());
        leaves_.emplace_back();
    }
    return id;
}

void LineChain::relabel(std::uint32_t fromRecord, std::uint32_t count, std::uint32_t leaf) {
    for (std::uint32_t id = fromRecord; count > 0; --count) {
        TLine* line = at(id);
        line->setLeaf(leaf);
        id = line->next_;
    }
}

void LineChain::recountLeaf(std::uint32_t leaf) {
    Leaf& l = leaves_[leaf];
    std::uint32_t chars = 0;
    std::uint16_t maxLen = 0;
    std::uint32_t id = l.first;
    for (std::uint32_t i = 0; i < l.count; ++i) {
        const TLine* line = at(id);
        chars += line->Len();
        maxLen = std::max(maxLen, line->Len());
        id = line->next_;
    }
    l.chars = chars;
    l.maxLen = maxLen;
}

void LineChain::splitLeaf(std::uint32_t leaf, std::uint32_t newRecordId) {
    std::uint32_t fresh = newLeaf();
    Leaf& l = leaves_[leaf];
    // A record appended after the leaf's last one starts the new leaf alone,
    // so that loading fills leaves in order without moving records around.
    const TLine* added = at(newRecordId);
    bool appended = !added->next_ || at(added->next_)->leaf() != leaf;
    std::uint32_t keep = appended ? l.count - 1 : l.count / 2;
    std::uint32_t id = l.first;
    for (std::uint32_t i = 0; i < keep; ++i)
        id = at(id)->next_;
    Leaf& n = leaves_[fresh];
    n.first = id;
    n.count = l.count - keep;
    relabel(id, n.count, fresh);
    l.count = keep;
    recountLeaf(leaf);
    recountLeaf(fresh);
    touch(leaf);
    treapInsertAfter(leaf, fresh);
}

void LineChain::mergeSmallLeaf(std::uint32_t leaf) {
    Leaf& l = leaves_[leaf];
    const TLine* firstLine = at(l.first);
    std::uint32_t prevLeaf = firstLine->prev_ ? at(firstLine->prev_)->leaf() : 0;
    std::uint32_t lastId = l.first;
    for (std::uint32_t i = 1; i < l.count; ++i)
        lastId = at(lastId)->next_;
    const TLine* lastLine = at(lastId);
    std::uint32_t nextLeaf = lastLine->next_ ? at(lastLine->next_)->leaf() : 0;

    std::uint32_t target = 0;
    if (prevLeaf && leaves_[prevLeaf].count + l.count <= kLeafMax)
        target = prevLeaf;
    else if (nextLeaf && leaves_[nextLeaf].count + l.count <= kLeafMax)
        target = nextLeaf;
    if (!target)
        return;
    relabel(l.first, l.count, target);
    Leaf& t = leaves_[target];
    t.count += l.count;
    t.chars += l.chars;
    t.maxLen = std::max(t.maxLen, l.maxLen);
    if (target == nextLeaf)
        t.first = l.first;
    l.count = 0;
    l.chars = 0;
    l.maxLen = 0;
    touch(target);
    treapRemove(leaf);
    if (dirty_ == leaf)
        dirty_ = 0;
    leaves_[leaf] = Leaf();
    leaves_[leaf].parent = freeLeaves_;
    freeLeaves_ = leaf;
}

// ---------------------------------------------------------------- treap

void LineChain::pull(std::uint32_t node) const {
    Leaf& n = leaves_[node];
    const Leaf& a = leaves_[n.left]; // leaves_[0] is all zero
    const Leaf& b = leaves_[n.right];
    n.subCount = n.count + a.subCount + b.subCount;
    n.subChars = n.chars + a.subChars + b.subChars;
    n.subMax = std::max({n.maxLen, a.subMax, b.subMax});
}

void LineChain::pullUp(std::uint32_t node) const {
    for (; node; node = leaves_[node].parent)
        pull(node);
}

void LineChain::touch(std::uint32_t leaf) const {
    if (dirty_ && dirty_ != leaf)
        pullUp(dirty_);
    dirty_ = leaf;
}

void LineChain::flush() const {
    if (dirty_) {
        pullUp(dirty_);
        dirty_ = 0;
    }
}

void LineChain::rotateUp(std::uint32_t c) {
    std::uint32_t p = leaves_[c].parent;
    std::uint32_t g = leaves_[p].parent;
    if (leaves_[p].left == c) {
        leaves_[p].left = leaves_[c].right;
        if (leaves_[c].right)
            leaves_[leaves_[c].right].parent = p;
        leaves_[c].right = p;
    } else {
        leaves_[p].right = leaves_[c].left;
        if (leaves_[c].left)
            leaves_[leaves_[c].left].parent = p;
        leaves_[c].left = p;
    }
    leaves_[p].parent = c;
    leaves_[c].parent = g;
    if (!g)
        root_ = c;
    else if (leaves_[g].left == p)
        leaves_[g].left = c;
    else
        leaves_[g].right = c;
    pull(p);
    pull(c);
}

void LineChain::treapInsertAfter(std::uint32_t after, std::uint32_t node) {
    flush();
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    Leaf& n = leaves_[node];
    n.left = n.right = 0;
    n.priority = seed_;
    pull(node);
    if (!root_) {
        root_ = node;
        n.parent = 0;
        return;
    }
    std::uint32_t parent;
    if (after && !leaves_[after].right) {
        leaves_[after].right = node;
        parent = after;
    } else {
        std::uint32_t x = after ? leaves_[after].right : root_;
        while (leaves_[x].left)
            x = leaves_[x].left;
        leaves_[x].left = node;
        parent = x;
    }
    leaves_[node].parent = parent;
    pullUp(parent);
    while (leaves_[node].parent && leaves_[leaves_[node].parent].priority < leaves_[node].priority)
        rotateUp(node);
}

void LineChain::treapRemove(std::uint32_t node) {
    flush();
    for (;;) {
        std::uint32_t l = leaves_[node].left;
        std::uint32_t r = leaves_[node].right;
        if (!l && !r)
            break;
        std::uint32_t c = !l ? r : !r ? l : (leaves_[l].priority > leaves_[r].priority ? l : r);
        rotateUp(c);
    }
    std::uint32_t p = leaves_[node].parent;
    if (!p) {
        root_ = 0;
        return;
    }
    if (leaves_[p].left == node)
        leaves_[p].left = 0;
    else
        leaves_[p].right = 0;
    leaves_[node].parent = 0;
    pullUp(p);
}

} // namespace qorvi
