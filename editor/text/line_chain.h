#pragma once

// The chain of line records with an index beside it.
//
// Records are linked in both directions in text order. Consecutive records
// are grouped into leaves of at most 64; each record knows its leaf and each
// leaf its first record, its record count, its character count and its
// longest record. The leaves form a treap in text order whose nodes also keep
// those sums for their subtree, so finding the record of a character offset
// or of a record number, and the offset or number of a record, costs a
// descent of the treap plus a walk inside one leaf: O(log n) on any document.
// Every change updates the sums of the one leaf it touches and, lazily, the
// path to the root.

#include "editor/text/line.h"
#include "editor/text/line_text_allocator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class LineChain {
public:
    struct Position {
        TLine* line = nullptr;  // the record, null in an empty chain
        std::int32_t index = 0; // its zero-based record number
        std::int64_t start = 0; // offset of its first character
    };

    LineChain();
    ~LineChain();
    LineChain(const LineChain&) = delete;
    LineChain& operator=(const LineChain&) = delete;

    TLine* first() const { return head_ ? at(head_) : nullptr; }
    TLine* last() const { return tail_ ? at(tail_) : nullptr; }
    TLine* next(const TLine* line) const { return line->next_ ? at(line->next_) : nullptr; }
    TLine* prev(const TLine* line) const { return line->prev_ ? at(line->prev_) : nullptr; }

    std::int32_t lineCount() const { return lines_; }
    std::int64_t charCount() const { return chars_; }
    std::uint16_t longest() const;

    // The record holding `offset` (clamped to the text; the end of the text
    // belongs to the last record).
    Position atOffset(std::int64_t offset) const;
    // The record with number `index` (clamped to the records there are).
    Position atIndex(std::int64_t index) const;
    std::int64_t offsetOf(const TLine* line) const;
    std::int32_t indexOf(const TLine* line) const;
    Position positionOf(TLine* line) const;

    // A new record holding `len` (1 ... 2047) characters, linked after
    // `after` (at the front when null). Flags and marks start clear.
    TLine* insertAfter(TLine* after, const char* text, std::uint16_t len);
    // Unlinks and frees a record.
    void erase(TLine* line);
    // Replaces `removeCount` characters at `at` by `insertCount` characters;
    // the style bytes move with their characters and the new ones take
    // `fill`. The result must hold 1 ... 2047 characters.
    void splice(TLine* line, int at, int removeCount, const char* insert, int insertCount,
                std::uint8_t fill = 0);
    void clear();
    // Gives the record the style bytes `styles` (one per character); false,
    // leaving the record unstyled, when there is no memory for them.
    bool setStyles(TLine* line, const std::uint8_t* styles) noexcept;
    // The same with the styles already encoded by EncodeStyleRuns.
    bool setStyleRuns(TLine* line, const std::uint8_t* runs, std::size_t bytes) noexcept;

    // Changes with every edit, so that scanners can tell that a record they
    // hold may be gone.
    std::uint64_t stamp() const { return stamp_; }

    // Marks a record as having side data kept by its owner.
    static void setHasExtras(TLine* line, bool on) { line->setBit(TLine::kHasExtras, on); }

    // Bytes held by records, text blocks and the index (for measurements).
    std::size_t memoryUse() const;

    // Checks links, leaf membership and every sum of the index; the text of
    // the first broken rule, or empty when all hold.
    std::string verify() const;

private:
    struct Leaf {
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        std::uint32_t chars = 0;
        std::uint16_t maxLen = 0;
        std::uint16_t subMax = 0;
        std::uint32_t parent = 0, left = 0, right = 0;
        std::uint32_t priority = 0;
        std::uint32_t subCount = 0;
        std::uint64_t subChars = 0;
    };

    // Where a walk down the tree of leaves ends: the leaf holding the
    // wanted character or line, what is left to go inside it, and the
    // characters and lines before the leaf.
    struct Descent {
        std::uint32_t leaf;
        std::uint64_t rest;
        std::int64_t start;
        std::int32_t index;
    };
    // Walks to the leaf of the `rest`-th character (byChars) or line.
    template <bool byChars>
    Descent descend(std::uint64_t rest) const;

    static constexpr std::uint32_t kChunkBits = 12;
    static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;

    TLine* at(std::uint32_t id) const { return &chunks_[id >> kChunkBits][id & (kChunkSize - 1)]; }
    std::uint32_t idOf(const TLine* line) const { return line->prev_ ? at(line->prev_)->next_ : head_; }

    // Heap room for a record of `bytes` text and run bytes, with some to grow.
    static std::uint16_t roomFor(int bytes);
    std::uint32_t newRecord();
    void freeRecord(std::uint32_t id);
    void freeText(TLine* line);

    std::uint32_t newLeaf();
    void recountLeaf(std::uint32_t leaf);
    void splitLeaf(std::uint32_t leaf, std::uint32_t newRecordId);
    void mergeSmallLeaf(std::uint32_t leaf);
    void relabel(std::uint32_t fromRecord, std::uint32_t count, std::uint32_t leaf);

    // Treap over leaves.
    void pull(std::uint32_t node) const;
    void pullUp(std::uint32_t node) const;
    void touch(std::uint32_t leaf) const;
    void flush() const;
    void rotateUp(std::uint32_t node);
    void treapInsertAfter(std::uint32_t after, std::uint32_t node);
    void treapRemove(std::uint32_t node);

    // Record tables of kChunkSize records. The first few have their own
    // block; later ones are cut from slabs of kSlabChunks, which are large
    // enough for huge pages.
    static constexpr std::uint32_t kOwnBlockChunks = 16;
    static constexpr std::uint32_t kSlabChunks = 64;
    void addChunk();
    std::vector<TLine*> chunks_;
    std::vector<BulkMemory> chunkMemory_;
    std::uint32_t freeRecords_ = 0;
    std::uint32_t freshRecord_ = 1; // record number 0 stands for "none"

    mutable std::vector<Leaf> leaves_;
    std::uint32_t freeLeaves_ = 0;
    std::uint32_t root_ = 0;
    mutable std::uint32_t dirty_ = 0; // leaf whose path to the root awaits its sums
    std::uint32_t seed_ = 0x9E3779B9u;

    LineTextAllocator text_;
    std::uint32_t head_ = 0;
    std::uint32_t tail_ = 0;
    std::int32_t lines_ = 0;
    std::int64_t chars_ = 0;
    // Each chain counts its stamps from a base of its own, so that a chain
    // made where a freed one was never repeats that one's stamps (a search
    // that remembers a stamp would take the new text for the old one).
    std::uint64_t stamp_ = freshStampBase();
    static std::uint64_t freshStampBase();
};

} // namespace qorvi
