#pragma once

// A stack of items with a current position: the parser keeps its saved
// state sets on one, the undo history its records. Items at and below the
// position are "done"; items above it were taken back (undone) and can be
// lifted again (redone) until a push discards them.
//
// The items lie one after another in one byte log, each framed by its
// length in front of it and behind it. The two frames are the links to the
// newer and the older neighbour, so the log is a doubly linked list that
// costs two bytes per small item instead of two pointers and a block: a
// history of a million typed characters stays a few dozen megabytes.
//
// Every item gets an identity that is never used again, even after items
// were discarded and others pushed at the same place, so that a position
// remembered (the undo save point) can never be mistaken for a later one.
//
// Pointer items (Push(void*)) carry a pointer whose target the stack's
// clear routine frees whenever the stack discards the item.

#include "platform/qorvi_error.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class EStackError : public QorviError {
public:
    using QorviError::QorviError;
};

inline constexpr const char* kMsgStackUnderflow = "Stack underflow";

class TStack {
public:
    using ClearProc = void (*)(void* item);

    explicit TStack(ClearProc clearProc = nullptr) : clearProc_(clearProc) {}
    virtual ~TStack();
    TStack(const TStack&) = delete;
    TStack& operator=(const TStack&) = delete;

    // ---- byte items
    // Discards everything above the position, then puts the item on top.
    virtual void Push(const void* item, std::uint32_t size);
    // Takes the current item off for good (what was above it goes first).
    // Raises EStackError "Stack underflow" when nothing is done.
    virtual std::string PopItem();
    // Nothing to redo: the position is the newest item.
    bool InsAtTop() const { return pos_ == log_.size(); }
    // The current item; the position moves one older. "Stack underflow"
    // when nothing is done.
    std::string PopLeave();
    // The item above the position, which becomes current. "Stack underflow"
    // when nothing is undone.
    std::string LiftLeave();
    // The current item without moving; empty when nothing is done.
    std::string Current() const;
    // The newest item (done or not); empty when the stack is empty.
    std::string GetStackTopItem() const;

    // ---- pointer items
    void Push(void* item) { pushFramed(&item, sizeof item, true); }
    // Takes the current pointer item off; the caller owns its target.
    // "Stack underflow" when nothing is done; null for a byte item.
    virtual void* Pop();
    // The current pointer item, or null.
    void* Peek() const;

    // ---- state
    // Items at and below the position.
    std::size_t Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    // Items above the position.
    std::size_t RedoCount() const { return total_ - count_; }
    std::size_t TotalCount() const { return total_; }
    // Bytes the log holds (items and their frames).
    std::int64_t MemoryUsed() const { return static_cast<std::int64_t>(log_.size()); }
    // Identity of the current item, never reused; when nothing is done, the
    // identity of the state below the oldest item.
    std::uint64_t CurrentId() const;
    // Where the position is, as a handle that stays valid while items are
    // only pushed, undone and redone (the absolute number of done items).
    std::uint64_t Position() const { return bottomAbs_ + count_; }
    std::uint64_t BottomPosition() const { return bottomAbs_; }

    // Frees every item (pointer items through the clear routine, newest
    // first); the state reached gets a new identity.
    void Clear();
    // Drops the oldest item; false when nothing is done to drop.
    bool DropBottom();
    // Discards every item above the position, newest first.
    void DiscardRedo();

protected:
    // Item bytes of the item that ends at log offset `end` / starts at `start`.
    struct Located {
        std::size_t begin = 0; // the front frame
        std::size_t start = 0; // first payload byte
        std::size_t end = 0;   // offset after the item's back frame
        std::size_t size = 0;
        bool pointer = false;
    };
    Located itemBefore(std::size_t end) const;
    Located itemAt(std::size_t start) const;
    std::string payload(const Located& item) const;
    // Log offset of the position (the end of the current item).
    std::size_t logPosition() const { return pos_; }
    std::size_t logSize() const { return log_.size(); }

private:
    struct Epoch {
        std::uint64_t firstAbs; // absolute number of its first item
        std::uint64_t firstId;
    };

    void pushFramed(const void* item, std::uint32_t size, bool pointer);
    void discardTop();
    void freeItem(const Located& item);
    std::uint64_t idOf(std::uint64_t abs) const;

    std::deque<std::uint8_t> log_;
    std::size_t pos_ = 0;   // log offset after the current item
    std::size_t count_ = 0; // done items
    std::size_t total_ = 0; // items in the log
    std::uint64_t bottomAbs_ = 0;
    std::uint64_t lastId_ = 0;
    std::uint64_t floorId_ = 0; // the state below the oldest item
    std::vector<Epoch> epochs_;
    bool freshEpoch_ = true; // the next push starts a run of new identities
    ClearProc clearProc_;
};

} // namespace qorvi
