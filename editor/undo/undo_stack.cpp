#include "editor/undo/undo_stack.h"

namespace qorvi {

void TUndoStack::PushUndoItem(const TUndoItem& item) {
    if (transOpen_ && !transWritten_) {
        transWritten_ = true;
        PushUndoItem(TUndoItem::Marker(kUndoPhaseBegin, transCode_));
        PushUndoItem(TUndoItem::Range(transSelection_));
        PushUndoItem(TUndoItem::Marker(kUndoPhaseBegin, transCode_));
    }
    const std::string bytes = EncodeUndoItem(item);
    Push(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

bool TUndoStack::OpenTransaction(std::int32_t code, const TChRange& selection) {
    if (transOpen_)
        return false;
    transOpen_ = true;
    transWritten_ = false;
    transCode_ = code;
    transSelection_ = selection;
    return true;
}

bool TUndoStack::CloseTransaction(std::int32_t code, const TChRange& selection) {
    if (!transOpen_ || code != transCode_)
        return false;
    if (transWritten_) {
        PushUndoItem(TUndoItem::Marker(kUndoPhaseEnd, code));
        PushUndoItem(TUndoItem::Range(selection));
        PushUndoItem(TUndoItem::Marker(kUndoPhaseEnd, code));
    }
    transOpen_ = false;
    transWritten_ = false;
    return true;
}

void TUndoStack::ClearHistory() {
    Clear();
    savePoint_ = CurrentId();
    // An open transaction starts over in the empty history.
    transWritten_ = false;
    cursorSet_ = false;
}

// ---------------------------------------------------------------- steps

bool TUndoStack::stepBelow(std::size_t end, Step& step) const {
    auto take = [&](std::size_t& at, TUndoItem& item) {
        if (at == 0)
            return false;
        const Located found = itemBefore(at);
        item = DecodeUndoItem(payload(found));
        at = found.begin;
        ++step.items;
        return true;
    };
    step = Step();
    step.to = end;
    std::size_t at = end;
    TUndoItem item, range, closing;
    if (!take(at, item) || item.Type != uitMarker)
        return false;
    if (item.Phase == kUndoPhaseEnd) {
        step.code = item.Value1;
        if (!take(at, range) || !take(at, closing) || !closing.IsMarker(kUndoPhaseEnd))
            return false;
        step.after = range.AsRange();
        // Back over the records to the begin triple.
        for (;;) {
            if (!take(at, item))
                return false;
            if (item.IsMarker(kUndoPhaseBegin) && item.Value1 == step.code)
                break;
        }
        if (!take(at, range) || !take(at, closing) || !closing.IsMarker(kUndoPhaseBegin))
            return false;
        step.before = range.AsRange();
    } else if (item.Phase == kUndoPhaseRecord) {
        // A record outside any transaction: six items.
        step.code = item.Value1;
        if (!take(at, range))
            return false;
        step.after = range.AsRange();
        TUndoItem text;
        if (!take(at, text) || !take(at, text) || !take(at, range) || !take(at, closing))
            return false;
        step.before = range.AsRange();
    } else {
        return false;
    }
    step.from = at;
    return true;
}

bool TUndoStack::stepAbove(std::size_t start, Step& step) const {
    const std::size_t size = logSize();
    auto take = [&](std::size_t& at, TUndoItem& item) {
        if (at >= size)
            return false;
        const Located found = itemAt(at);
        item = DecodeUndoItem(payload(found));
        at = found.end;
        ++step.items;
        return true;
    };
    step = Step();
    step.from = start;
    std::size_t at = start;
    TUndoItem item, range, closing;
    if (!take(at, item) || item.Type != uitMarker)
        return false;
    if (item.Phase == kUndoPhaseBegin) {
        step.code = item.Value1;
        if (!take(at, range) || !take(at, closing) || !closing.IsMarker(kUndoPhaseBegin))
            return false;
        step.before = range.AsRange();
        for (;;) {
            if (!take(at, item))
                return false;
            if (item.IsMarker(kUndoPhaseEnd) && item.Value1 == step.code)
                break;
        }
        if (!take(at, range) || !take(at, closing) || !closing.IsMarker(kUndoPhaseEnd))
            return false;
        step.after = range.AsRange();
    } else if (item.Phase == kUndoPhaseRecord) {
        step.code = item.Value1;
        if (!take(at, range))
            return false;
        step.before = range.AsRange();
        TUndoItem text;
        if (!take(at, text) || !take(at, text) || !take(at, range) || !take(at, closing))
            return false;
        step.after = range.AsRange();
    } else {
        return false;
    }
    step.to = at;
    return true;
}

bool TUndoStack::cursorOffset(std::size_t& offset) const {
    const std::uint64_t bottom = BottomPosition();
    if (!cursorSet_ || cursor_ < bottom || cursor_ > bottom + TotalCount())
        return false;
    offset = logPosition();
    for (std::uint64_t at = Position(); at > cursor_; --at)
        offset = itemBefore(offset).begin;
    for (std::uint64_t at = Position(); at < cursor_; ++at)
        offset = itemAt(offset).end;
    return true;
}

std::int32_t TUndoStack::Iterator(std::int32_t op, std::uint64_t& value) {
    const bool merge = (op & kUndoIterMerge) != 0;
    op &= ~kUndoIterMerge;
    if (op == kUndoIterStart) {
        cursor_ = Position();
        cursorSet_ = true;
        return 0;
    }
    if (op != kUndoIterEndBelow && op != kUndoIterBeginAbove && op != kUndoIterOlder && op != kUndoIterNewer)
        return kUndoIterUnknownOp;
    std::size_t offset = 0;
    if (!cursorOffset(offset))
        return op == kUndoIterEndBelow || op == kUndoIterBeginAbove ? 0 : kUndoIterNoMore;
    Step step;
    switch (op) {
    case kUndoIterEndBelow:
        if (!stepBelow(offset, step))
            return 0;
        value = static_cast<std::uint64_t>(step.code);
        return 1;
    case kUndoIterBeginAbove:
        if (!stepAbove(offset, step))
            return 0;
        value = static_cast<std::uint64_t>(step.code);
        return 1;
    case kUndoIterOlder: {
        if (!stepBelow(offset, step))
            return kUndoIterNoMore;
        std::uint64_t items = step.items;
        Step next;
        while (merge && stepBelow(step.from, next) && next.code == step.code && next.after == step.before) {
            items += next.items;
            step.before = next.before;
            step.from = next.from;
        }
        cursor_ -= items;
        value = cursor_;
        return step.code;
    }
    default: {
        if (!stepAbove(offset, step))
            return kUndoIterNoMore;
        std::uint64_t items = step.items;
        Step next;
        while (merge && stepAbove(step.to, next) && next.code == step.code && next.before == step.after) {
            items += next.items;
            step.after = next.after;
            step.to = next.to;
        }
        cursor_ += items;
        value = cursor_;
        return step.code;
    }
    }
}

// ---------------------------------------------------------------- memory

bool TUndoStack::dropOldestStep() {
    Step step;
    if (Count() == 0 || !stepAbove(0, step) || step.items > Count())
        return false;
    for (std::uint64_t i = 0; i < step.items; ++i)
        DropBottom();
    cursorSet_ = false;
    return true;
}

void TUndoStack::ConstrainMemoryUse() {
    if (memoryLimit_ < 0)
        return;
    while (MemoryUsed() > memoryLimit_ && dropOldestStep()) {
    }
    // What is only redoable goes too, newest first, when that is not enough.
    if (MemoryUsed() > memoryLimit_)
        DiscardRedo();
}

} // namespace qorvi
