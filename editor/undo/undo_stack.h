#pragma once

// The undo history of a text store (controls that share a store share its
// history): the records of undo_record.h on a TStack, the transaction that
// groups one user action into one undo step, the save point that decides
// whether the document counts as modified, an optional memory limit, and an
// iterator over the steps for an undo list.
//
// A transaction's begin triple is written only when its first record comes,
// so an action that changed nothing leaves no step behind and keeps what
// could be redone.
//
// Modified: the save point is the identity of the state saved (the current
// item's never reused identity, see TStack). The document is modified
// whenever the current state is another one - also after undoing past the
// save point and editing anew, which lands on a new identity even where the
// old item stood.

#include "editor/support/ch_range.h"
#include "editor/support/stack.h"
#include "editor/undo/undo_record.h"

#include <cstdint>

namespace qorvi {

// Iterator operations and results.
inline constexpr std::int32_t kUndoIterStart = 1;
inline constexpr std::int32_t kUndoIterEndBelow = 4;
inline constexpr std::int32_t kUndoIterBeginAbove = 8;
inline constexpr std::int32_t kUndoIterOlder = 16;
inline constexpr std::int32_t kUndoIterNewer = 32;
inline constexpr std::int32_t kUndoIterMerge = 1 << 24;
inline constexpr std::int32_t kUndoIterUnknownOp = 8001;
inline constexpr std::int32_t kUndoIterNoMore = 8002;

class TUndoStack : public TStack {
public:
    TUndoStack() = default;

    // Pushes one item; the first item inside an open transaction writes the
    // transaction's begin triple first.
    void PushUndoItem(const TUndoItem& item);
    // PopLeave / LiftLeave decoded.
    TUndoItem PopLeaveItem() { return DecodeUndoItem(PopLeave()); }
    TUndoItem LiftLeaveItem() { return DecodeUndoItem(LiftLeave()); }

    // ---- transactions (they do not nest: an open one ignores others)
    bool TransactionOpen() const { return transOpen_; }
    std::int32_t TransactionCode() const { return transCode_; }
    // Opens `code` with the selection it starts from; false when one is open.
    bool OpenTransaction(std::int32_t code, const TChRange& selection);
    // Closes `code` with the selection it ends with; false when `code` is not
    // the open transaction.
    bool CloseTransaction(std::int32_t code, const TChRange& selection);

    // ---- modified
    void MarkSavePoint() { savePoint_ = CurrentId(); }
    bool GetModified() const { return CurrentId() != savePoint_; }
    // Empties the history; the state reached counts as saved.
    void ClearHistory();

    // ---- memory
    // Bytes; -1 (the default) is no limit.
    std::int64_t MemoryLimit() const { return memoryLimit_; }
    void SetMemoryLimit(std::int64_t limit) { memoryLimit_ = limit < 0 ? -1 : limit; }
    // With a limit, drops the oldest steps while the history is larger.
    void ConstrainMemoryUse();

    // ---- the steps, for an undo list
    // 1: the cursor goes to the current position. 4: the code of the step
    // just below the cursor in `value` (result 1, or 0 when none); 8: that of
    // the step just above. 16 / 32: the cursor moves over the next older /
    // newer step and its code is the result, the position below / above it
    // in `value` (a position for ExecuteTo). With kUndoIterMerge, following
    // steps of the same code that continue one another's selection count as
    // one. kUndoIterUnknownOp for another operation, kUndoIterNoMore at the
    // end. The cursor is valid until the history changes.
    std::int32_t Iterator(std::int32_t op, std::uint64_t& value);

private:
    struct Step {
        std::int32_t code = 0;
        TChRange before;      // the selection the step starts from
        TChRange after;       // the selection it ends with
        std::size_t from = 0; // log offsets of its first item and after its last
        std::size_t to = 0;
        std::uint64_t items = 0;
    };
    bool stepBelow(std::size_t end, Step& step) const;
    bool stepAbove(std::size_t start, Step& step) const;
    bool cursorOffset(std::size_t& offset) const;
    bool dropOldestStep();

    bool transOpen_ = false;
    bool transWritten_ = false;
    std::int32_t transCode_ = 0;
    TChRange transSelection_;
    std::uint64_t savePoint_ = 0;
    std::int64_t memoryLimit_ = -1;
    std::uint64_t cursor_ = 0; // a position number
    bool cursorSet_ = false;
};

} // namespace qorvi
