// The keyboard action codes (ExecuteCommand): caret movement, which extends
// the selection when asked, deletion, clipboard, block indent, bookmarks,
// undo and scrolling. Every command that changes the text is one undo step
// and does nothing on a read-only control.

#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_record.h"

#include <algorithm>

namespace qorvi {

void TCustomRudivoVoru::deleteCommand(bool forward, std::int32_t code, std::int32_t target) {
    if (readOnly_)
        return;
    TChRange range = sel_;
    if (target >= 0) {
        // From the caret to a word boundary.
        range = {sel_.chEnd, target};
        if (range.Empty())
            return;
    } else if (range.Empty()) {
        const std::int32_t at = range.chEnd;
        if (forward ? at >= store_->NumChars() : at <= 0)
            return;
        if (forward)
            range.chEnd = beyondEOL_ ? at : NextCharIndex(at);
        else
            range.chEnd = PrevCharIndex(at);
    }
    UndoTransBegin(code);
    try {
        if (forward && beyondEOL_ && sel_.Empty()) {
            // The line is filled to the caret's column first (the edit pads
            // a caret beyond the line end); then the line end after it goes.
            DoReplaceSel("", true);
            range = {sel_.chEnd, NextCharIndex(sel_.chEnd)};
            if (range.chEnd > store_->NumChars())
                range.chEnd = range.chStart;
        }
        applySelection(range, true);
        DoReplaceSel("", false);
    } catch (...) {
        UndoTransEnd(code);
        throw;
    }
    UndoTransEnd(code);
}

void TCustomRudivoVoru::deleteRow() {
    if (readOnly_ || !sel_.Empty() || !store_->Buffer())
        return;
    const CaretRow row = caretRow(sel_.chEnd);
    if (row.phantom)
        return;
    // The caret's whole text line goes with its line break: rows that word
    // wrap or the 2047-character limit cut from it go with it, so what is
    // deleted never depends on the window's width.
    std::int32_t start = row.start;
    for (const TLine* before = store_->Prev(row.line); before && !before->EndsWithCR();
         before = store_->Prev(before))
        start -= before->Len();
    std::int32_t end = row.start + row.line->Len();
    for (const TLine* last = row.line; !last->EndsWithCR() && store_->Next(last);) {
        last = store_->Next(last);
        end += last->Len();
    }
    UndoTransBegin(utDelete);
    try {
        SetSelection({start, end}, true);
        DoReplaceSel("");
    } catch (...) {
        UndoTransEnd(utDelete);
        throw;
    }
    UndoTransEnd(utDelete);
}

void TCustomRudivoVoru::ExecuteCommand(std::int32_t action, std::int32_t, bool extend) {
    const std::int32_t caret = sel_.chEnd;
    switch (action) {
    case caLEFT:
        if (beyondEOL_) {
            const std::int32_t end = columnOfIndex(caret);
            if (virtualCol_ - 1 > end)
                moveCaretBeyond(caret, virtualCol_ - 1, extend);
            else
                moveCaret(caret, extend);
        } else {
            moveCaret(PrevCharIndex(caret), extend);
        }
        break;
    case caRIGHT: {
        const CaretRow row = caretRow(caret);
        const bool lineEnd = row.phantom || caret == rowCaretLimit(row);
        if (CanProcessCaretAfterEOL() && lineEnd &&
            (row.phantom || row.line->EndsWithCR() || !store_->Next(row.line)))
            moveCaretBeyond(caret, std::min(CaretColumn() + 1, kMaxLineLen), extend);
        else
            moveCaret(NextCharIndex(caret), extend);
        break;
    }
    case caLINEHOME: {
        const CaretRow row = caretRow(caret);
        if (!row.phantom)
            moveCaret(row.start, extend);
        break;
    }
    case caLINEEND: {
        const CaretRow row = caretRow(caret);
        if (row.phantom)
            break;
        // Before trailing blanks and tabs.
        std::int32_t end = rowCaretLimit(row);
        const char* text = row.line->Text();
        while (end > row.start && (text[end - row.start - 1] == ' ' || text[end - row.start - 1] == '\t'))
            --end;
        moveCaret(end, extend);
        break;
    }
    case caUP:
        moveRows(-1, extend);
        break;
    case caDOWN:
        moveRows(1, extend);
        break;
    case caPAGEUP:
        pageMove(false, extend);
        break;
    case caPAGEDOWN:
        pageMove(true, extend);
        break;
    case caWORDLEFT: {
        const std::int32_t target = WordBefore(caret);
        moveCaret(target < 0 ? 0 : target, extend);
        break;
    }
    case caWORDRIGHT: {
        const std::int32_t target = WordAfter(caret);
        moveCaret(target < 0 ? caret : target, extend);
        break;
    }
    case caDOCSTART:
        moveCaret(0, extend);
        break;
    case caDOCEND:
        moveCaret(store_->NumChars(), extend);
        break;
    case caCUT:
        perform(WM_CUT);
        break;
    case caCOPY:
        perform(WM_COPY);
        break;
    case caPASTE:
        perform(WM_PASTE);
        break;
    case caDELETE:
        deleteCommand(true, utDelete, -1);
        break;
    case caBACKSPACE:
        if (beyondEOL_ && sel_.Empty())
            ExecuteCommand(caLEFT, 0, false);
        else
            deleteCommand(false, utDelete, -1);
        break;
    case caBLOCKIND:
        if (!readOnly_)
            perform(SMM_INDENT, 0, 0);
        break;
    case caBLOCKUND:
        if (!readOnly_)
            perform(SMM_UNDENT, 0, 0);
        break;
    case caINSTOGGLE:
        insMode_ = !insMode_;
        reasons_ |= crInsertMode;
        repaintRange(caret, caret);
        DoChange();
        Paint();
        break;
    case caDELETELINE:
        deleteRow();
        break;
    case caUNDO:
        perform(EM_UNDO);
        break;
    case caREDO:
        perform(SMM_REDO);
        break;
    case caDELPREVWORD: {
        const std::int32_t target = WordBefore(caret);
        deleteCommand(false, utDelPrevWord, target < 0 ? 0 : target);
        break;
    }
    case caDELNEXTWORD: {
        const std::int32_t target = WordAfter(caret);
        deleteCommand(true, utDelNextWord, target < 0 ? store_->NumChars() : target);
        break;
    }
    case caPRINTSEL:
        PrintSelection();
        break;
    case caSCROLLUP:
        scrollLine(false);
        break;
    case caSCROLLDOWN:
        scrollLine(true);
        break;
    default:
        if (action >= caSETBOOKMARK0 && action <= caSETBOOKMARK9)
            SetBookmark(action - caSETBOOKMARK0, -1);
        else if (action >= caGOTOBOOKMARK0 && action <= caGOTOBOOKMARK9)
            JumpToBookmark(action - caGOTOBOOKMARK0);
        break;
    }
}

} // namespace qorvi
