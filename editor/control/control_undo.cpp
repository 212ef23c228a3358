// Undo and redo as the control records and replays them. DoReplaceSel
// writes one replace record per change (undo_record.h); user actions group
// their changes in a transaction so that one undo takes back the whole
// action. Replaying selects what a record changed and replaces it with what
// was there before (or after, for redo), with recording off and painting
// held until the step is done. A record that does not match the text, or
// any failure during a replay, empties the history: a damaged log is never
// replayed.

#include "editor/control/rudivo_voru.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/undo/undo_stack.h"

#include <algorithm>

namespace qorvi {

// ---------------------------------------------------------------- recording

void TCustomRudivoVoru::UndoTransBegin(std::int32_t code) {
    TUndoStack* history = store_->UndoStack();
    if (!history || undoReplaying_)
        return;
    history->OpenTransaction(code, sel_);
}

void TCustomRudivoVoru::UndoTransEnd(std::int32_t code) {
    TUndoStack* history = store_->UndoStack();
    if (!history || undoReplaying_)
        return;
    history->CloseTransaction(code, sel_);
}

void TCustomRudivoVoru::historyBroken() {
    pendingUndo_ = {};
    if (TUndoStack* history = store_->UndoStack())
        history->ClearHistory();
    if (host_)
        host_->beep();
}

void TCustomRudivoVoru::openReplaceRecord() {
    if (pendingUndo_.open) {
        historyBroken();
        throw ERudivoVoru(kMsgBadTransactionLog);
    }
    pendingUndo_.open = true;
    pendingUndo_.before = sel_;
    pendingUndo_.removed = GetSelText();
}

void TCustomRudivoVoru::closeReplaceRecord(std::int32_t insertedAt, std::int32_t inserted) {
    TUndoStack* history = store_->UndoStack();
    if (!pendingUndo_.open || !history) {
        historyBroken();
        throw ERudivoVoru(kMsgBadTransactionLog);
    }
    try {
        // The characters as they were stored, so that a redo puts back
        // exactly these.
        history->PushUndoItem(TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace));
        history->PushUndoItem(TUndoItem::Range(pendingUndo_.before));
        history->PushUndoItem(TUndoItem::Chars(pendingUndo_.removed));
        history->PushUndoItem(TUndoItem::Chars(store_->GetText(insertedAt, inserted)));
        history->PushUndoItem(TUndoItem::Range(sel_));
        history->PushUndoItem(TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace));
    } catch (...) {
        historyBroken();
        throw;
    }
    pendingUndo_ = {};
    history->ConstrainMemoryUse();
}

void TCustomRudivoVoru::PushDoUndoOp(TUndoItemType type, std::int32_t value1, std::int32_t value2,
                                     std::string_view text) {
    TUndoStack* history = store_->UndoStack();
    if (!history)
        return;
    TUndoItem item;
    item.Type = type;
    item.Value1 = value1;
    item.Value2 = value2;
    if (type == uitText || type == uitStream)
        item.Text = std::string(text);
    history->PushUndoItem(item);
}

void TCustomRudivoVoru::DoUndoNotify(std::int32_t kind, std::int32_t phase, std::intptr_t data) {
    TUndoStack* history = store_->UndoStack();
    const bool recording = history && undoRecording_ && !undoReplaying_;
    switch (kind) {
    case 1:
        if (!recording)
            return;
        if (phase == 1) {
            openReplaceRecord();
        } else {
            const auto inserted = static_cast<std::int32_t>(data);
            closeReplaceRecord(sel_.chEnd - inserted, inserted);
        }
        return;
    case 2:
        UndoTransBegin(phase);
        return;
    case 3:
        UndoTransEnd(phase);
        return;
    case 6:
        undoRecording_ = true;
        return;
    case 7:
        undoRecording_ = false;
        return;
    case 8:
        SetModified(false);
        return;
    case 9:
    case 10: {
        // One line of a block unindent (before the characters go) or
        // indent (after they came): `count` characters at `phase`.
        if (!recording)
            return;
        const auto count = static_cast<std::int32_t>(data);
        const std::string chars = store_->GetText(phase, count);
        const bool indent = kind == 10;
        PushDoUndoOp(uitMarker, kUndoKindReplace, 0);
        PushDoUndoOp(uitRange, phase, indent ? phase : phase + count);
        PushDoUndoOp(uitText, 0, 0, indent ? std::string_view() : std::string_view(chars));
        PushDoUndoOp(uitText, 0, 0, indent ? std::string_view(chars) : std::string_view());
        PushDoUndoOp(uitRange, indent ? phase + count : phase, indent ? phase + count : phase);
        PushDoUndoOp(uitMarker, kUndoKindReplace, 0);
        history->ConstrainMemoryUse();
        return;
    }
    default:
        return;
    }
}

// ---------------------------------------------------------------- replay

void TCustomRudivoVoru::replayRecord(bool undo, std::int32_t kind) {
    TUndoStack& history = *store_->UndoStack();
    auto take = [&](TUndoItemType type) {
        TUndoItem item = undo ? history.PopLeaveItem() : history.LiftLeaveItem();
        if (item.Type != type)
            throw ERudivoVoru(kMsgBadUndoState);
        return item;
    };
    if (kind != kUndoKindReplace && kind != kUndoKindImport)
        throw ERudivoVoru(kMsgBadUndoState);
    const TUndoItemType newType = kind == kUndoKindImport ? uitStream : uitText;
    TUndoItem before, removed, inserted, after;
    if (undo) {
        after = take(uitRange);
        inserted = take(newType);
        removed = take(uitText);
        before = take(uitRange);
    } else {
        before = take(uitRange);
        removed = take(uitText);
        inserted = take(newType);
        after = take(uitRange);
    }
    const TUndoItem closing = take(uitMarker);
    if (closing.Phase != kUndoPhaseRecord || closing.Value1 != kind)
        throw ERudivoVoru(kMsgBadUndoState);

    const std::int32_t start = before.AsRange().Normalised().chStart;
    const std::int32_t length = store_->NumChars();
    if (undo) {
        // The record must describe the text as it stands.
        const std::int32_t end = after.AsRange().Normalised().chEnd;
        if (start < 0 || end < start || end > length ||
            (kind == kUndoKindReplace && store_->GetText(start, end - start) != inserted.Text))
            throw ERudivoVoru(kMsgBadUndoState);
        SetSelection({start, end}, true);
        DoReplaceSel(removed.Text, true);
        SetSelection(before.AsRange(), true);
    } else {
        const std::int32_t end = before.AsRange().Normalised().chEnd;
        if (start < 0 || end > length || store_->GetText(start, end - start) != removed.Text)
            throw ERudivoVoru(kMsgBadUndoState);
        SetSelection({start, end}, true);
        DoReplaceSel(inserted.Text, true);
        SetSelection(after.AsRange(), true);
    }
}

bool TCustomRudivoVoru::replay(bool undo) {
    TUndoStack& history = *store_->UndoStack();
    const bool lock = redraw_ && updateLock_ == 0;
    if (lock)
        updateLock_ = 1;
    undoRecording_ = false;
    undoReplaying_ = true;
    auto finish = [&] {
        undoRecording_ = true;
        undoReplaying_ = false;
        if (lock) {
            updateLock_ = 0;
            ScreenInvalid();
        }
        ParseText();
        CaretInView(sel_.chEnd);
        reasons_ |= crSelection | crText;
        UpdateScrollBars();
        DoChange();
        Paint();
    };
    try {
        bool inside = false;
        std::int32_t code = 0;
        const std::int32_t enter = undo ? kUndoPhaseEnd : kUndoPhaseBegin;
        const std::int32_t leave = undo ? kUndoPhaseBegin : kUndoPhaseEnd;
        do {
            const TUndoItem marker = undo ? history.PopLeaveItem() : history.LiftLeaveItem();
            if (marker.Type != uitMarker)
                throw ERudivoVoru(kMsgBadUndoState);
            if (marker.Phase == kUndoPhaseRecord) {
                replayRecord(undo, marker.Value1);
                continue;
            }
            if (marker.Phase != enter && marker.Phase != leave)
                throw ERudivoVoru(kMsgBadUndoState);
            const TUndoItem range = undo ? history.PopLeaveItem() : history.LiftLeaveItem();
            const TUndoItem other = undo ? history.PopLeaveItem() : history.LiftLeaveItem();
            if (range.Type != uitRange || !other.IsMarker(marker.Phase) || other.Value1 != marker.Value1)
                throw ERudivoVoru(kMsgBadUndoState);
            if (marker.Phase == enter) {
                if (inside)
                    throw ERudivoVoru(kMsgBadUndoState);
                inside = true;
                code = marker.Value1;
            } else {
                if (!inside || marker.Value1 != code)
                    throw ERudivoVoru(kMsgBadUndoState);
                inside = false;
                // The selection from before the step (undo) or after it (redo).
                SetSelection(range.AsRange(), true);
            }
        } while (inside);
    } catch (...) {
        history.ClearHistory();
        pendingUndo_ = {};
        if (host_)
            host_->beep();
        finish();
        throw;
    }
    finish();
    return true;
}

bool TCustomRudivoVoru::CanUndo() const {
    const TUndoStack* history = store_->UndoStack();
    return history && history->Count() > 0;
}

bool TCustomRudivoVoru::CanRedo() const {
    const TUndoStack* history = store_->UndoStack();
    return history && !history->InsAtTop();
}

bool TCustomRudivoVoru::DoUndo() {
    if (readOnly_ || !CanUndo() || undoReplaying_)
        return false;
    return replay(true);
}

bool TCustomRudivoVoru::DoReDo() {
    if (readOnly_ || !CanRedo() || undoReplaying_)
        return false;
    return replay(false);
}

void TCustomRudivoVoru::ExecuteTo(std::uint64_t position) {
    TUndoStack* history = store_->UndoStack();
    if (!history || readOnly_)
        return;
    const bool lock = redraw_ && updateLock_ == 0;
    if (lock)
        perform(SMM_LOCKUPDATE, kSmmSet, 1);
    try {
        while (history->Position() > position && DoUndo()) {
        }
        while (history->Position() < position && DoReDo()) {
        }
    } catch (...) {
        if (lock)
            perform(SMM_LOCKUPDATE, kSmmSet, 0);
        throw;
    }
    if (lock)
        perform(SMM_LOCKUPDATE, kSmmSet, 0);
}

// ---------------------------------------------------------------- modified

bool TCustomRudivoVoru::GetModified() const {
    const TUndoStack* history = store_->UndoStack();
    return history && history->GetModified();
}

void TCustomRudivoVoru::SetModified(bool modified) {
    if (modified)
        return;
    pendingUndo_ = {};
    if (TUndoStack* history = store_->UndoStack())
        history->ClearHistory();
}

void TCustomRudivoVoru::MarkSavePoint() {
    if (TUndoStack* history = store_->UndoStack())
        history->MarkSavePoint();
}

std::int64_t TCustomRudivoVoru::GetUndoMemUsed() const {
    const TUndoStack* history = store_->UndoStack();
    return history ? history->MemoryUsed() : 0;
}

void TCustomRudivoVoru::SetUndoStack(TUndoStack* stack) {
    // Handing back the history the store holds (what SMM_UNDOSTACK get
    // returned) keeps it: taking it over again would free it under the store.
    if (stack == store_->UndoStack())
        return;
    pendingUndo_ = {};
    store_->SetUndoStack(std::unique_ptr<TUndoStack>(stack));
}

} // namespace qorvi
