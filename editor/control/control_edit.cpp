// The selection and the one edit every text change goes through
// (DoReplaceSel): it pads a caret that stands beyond its line end, records
// the change for undo, deletes the selection, inserts, keeps the markers,
// the rows and the styles in step, and shows the result. Caret movement,
// typing, commands and undo all end here.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/incremental_styler.h"
#include "editor/support/memory_stream.h"
#include "editor/text/line_break_writer.h"
#include "editor/text/marker_edits.h"
#include "editor/text/text_load.h"
#include "editor/text/text_loader.h"
#include "editor/undo/undo_record.h"
#include "editor/undo/undo_stack.h"

#include <algorithm>
#include <cstring>

namespace qorvi {
namespace {

std::int32_t countCRs(std::string_view text) {
    return static_cast<std::int32_t>(std::count(text.begin(), text.end(), '\r'));
}

} // namespace

std::int32_t TCustomRudivoVoru::GetSelStart() const {
    return std::min(sel_.chStart, sel_.chEnd);
}

std::int32_t TCustomRudivoVoru::GetSelLength() const {
    // With CR LF line breaks each one inside the selection counts twice.
    const TChRange r = sel_.Normalised();
    std::int32_t length = r.chEnd - r.chStart;
    if (store_->SelLineStyle() == lsCRLF && length > 0)
        length += countCRs(store_->GetText(r.chStart, length));
    return length;
}

void TCustomRudivoVoru::SetSelStart(std::int32_t Value) {
    SetSelection({Value, Value});
}

void TCustomRudivoVoru::SetSelLength(std::int32_t Value) {
    const std::int32_t start = GetSelStart();
    // Any length: the sum is clamped to the text, never overflowed.
    const auto end = std::clamp<std::int64_t>(std::int64_t{start} + Value, 0, store_->NumChars());
    SetSelection({start, static_cast<std::int32_t>(end)});
}

void TCustomRudivoVoru::repaintRange(std::int32_t from, std::int32_t to) {
    if (!visLine_)
        return;
    if (from > to)
        std::swap(from, to);
    // Only rows on screen need the bit: the others are painted when they
    // scroll in.
    TLine* row = visLine_;
    std::int32_t start = topOffset_;
    for (std::int32_t i = 0; row && i < visibleRows_ + 2 && start <= to; ++i) {
        if (start + row->Len() >= from)
            row->AddFlags(lfRepaint);
        start += row->Len();
        row = store_->Next(row);
    }
}

void TCustomRudivoVoru::SetSelection(const TChRange& range, bool noRepaint) {
    beyondEOL_ = false;
    applySelection(range, noRepaint);
}

void TCustomRudivoVoru::applySelection(const TChRange& range, bool noRepaint) {
    const std::int32_t length = store_->NumChars();
    TChRange next = range;
    if (next.chStart == -1)
        next = {0, length};
    next.chStart = std::clamp(next.chStart, 0, length);
    next.chEnd = std::clamp(next.chEnd, 0, length);
    if (beyondEOL_ && (!next.Empty() || !CanProcessCaretAfterEOL()))
        beyondEOL_ = false;
    const TChRange old = sel_;
    if (!old.Empty() || showFocusLine_)
        repaintRange(old.chStart, old.chEnd);
    if (!next.Empty() || showFocusLine_)
        repaintRange(next.chStart, next.chEnd);
    sel_ = next;
    // Vertical moves aim for the column the caret had before them.
    if (!verticalMove_)
        rememberedCol_ = CaretColumn();
    verticalMove_ = false;
    if (noRepaint || !redraw_) {
        if (next != old)
            reasons_ |= crSelection;
        return;
    }
    if (next == old) {
        if (pendingParse_ >= 0)
            ParseText();
    } else {
        reasons_ |= crSelection;
    }
    CaretInView(sel_.chEnd);
    DoChange();
    Paint();
}

std::string TCustomRudivoVoru::GetSelText() const {
    const TChRange r = sel_.Normalised();
    return store_->GetText(r.chStart, r.chEnd - r.chStart);
}

std::string TCustomRudivoVoru::GetText() const {
    return store_->GetText();
}

void TCustomRudivoVoru::replaceText(std::string_view text) {
    const TChRange r = sel_.Normalised();
    const std::int32_t start = r.chStart;
    const std::int32_t removed = r.chEnd - r.chStart;
    const std::int32_t rowsBefore = store_->NumLines();
    // An edit across a row end, or one that breaks a line, moves the rows
    // below it even when their number stays the same.
    bool rowsMove = text.find('\r') != std::string_view::npos;
    if (removed > 0 && !rowsMove)
        rowsMove = store_->InfoFromIndex(start).line != store_->InfoFromIndex(r.chEnd).line;
    // The widest record in cells follows the edit: the records it touches
    // leave the count as they were and join it as they are.
    const bool widestValid = widest_.stamp == store_->EditStamp() && Encoding() == TextEncoding::Utf8;
    const std::vector<std::int32_t> cellsBefore = widestValid ? recordCellsIn(start, r.chEnd) : std::vector<std::int32_t>();
    // The carriage returns before the remembered row follow the edit.
    bool countValid = lineCount_.stamp == store_->EditStamp();
    std::int32_t crDelta = 0;
    if (removed > 0) {
        if (countValid && start < lineCount_.offset) {
            if (r.chEnd > lineCount_.offset)
                countValid = false;
            else
                crDelta -= countCRs(store_->GetText(start, removed));
        }
        markersRemoving(*store_, start, removed);
        store_->DeleteText(start, removed);
        markersRemoved(*store_, start, removed);
        styler_->TextChanged(start, -removed);
        if (r.chEnd <= topOffset_)
            topOffset_ -= removed;
        else if (start < topOffset_)
            topOffset_ = start;
        if (OnTextChange)
            OnTextChange(*this, start, -removed);
    }
    std::int32_t inserted = 0;
    if (!text.empty()) {
        TTextStore::InsertResult result;
        try {
            // A replay puts back exactly the characters that were stored.
            const auto count = static_cast<std::int64_t>(text.size());
            result = undoReplaying_ ? store_->InsertStoredText(start, text.data(), count)
                                    : store_->InsertText(start, text.data(), count);
        } catch (...) {
            // The store kept its text (without the selection): the view and
            // the styles follow that before the failure is reported.
            sel_ = {start, start};
            lineCount_ = {};
            refreshTopRow();
            fullRepaint_ = true;
            if (store_->Buffer()) {
                pendingParse_ = store_->InfoFromIndex(start).start;
                ParseText();
            }
            throw;
        }
        inserted = result.count;
        markersInserted(*store_, start, inserted);
        styler_->TextChanged(start, inserted);
        if (start < topOffset_)
            topOffset_ += inserted;
        if (countValid && start < lineCount_.offset)
            crDelta += countCRs(store_->GetText(start, inserted));
        if (OnTextChange)
            OnTextChange(*this, start, inserted);
    }
    if (countValid) {
        if (start < lineCount_.offset) {
            lineCount_.offset += inserted - removed;
            lineCount_.crs += crDelta;
        }
        lineCount_.stamp = store_->EditStamp();
        // The count belongs to a row start; an edit at that row may have
        // taken the row away.
        if (lineCount_.offset > 0 && (lineCount_.offset >= store_->NumChars() ||
                                      store_->InfoFromIndex(lineCount_.offset).start != lineCount_.offset))
            lineCount_ = {};
    }
    if (widestValid) {
        std::vector<std::int32_t>& records = widest_.records;
        for (const std::int32_t cells : cellsBefore)
            --records[static_cast<std::size_t>(cells)];
        for (const std::int32_t cells : recordCellsIn(start, start + inserted)) {
            ++records[static_cast<std::size_t>(cells)];
            widest_.cells = std::max(widest_.cells, cells);
        }
        while (widest_.cells > 0 && records[static_cast<std::size_t>(widest_.cells)] <= 0)
            --widest_.cells;
        widest_.stamp = store_->EditStamp();
    }
    if (!store_->Buffer()) {
        // Everything went.
        topOffset_ = 0;
        topLine_ = 0;
        leftCol_ = 0;
    }
    const std::int32_t caret = start + inserted;
    sel_ = {caret, caret};
    std::int32_t pending = start;
    if (store_->Buffer() && settings_->HasOption(smoWordWrap)) {
        TLine* first = store_->InfoFromIndex(start).line;
        TLine* last = store_->InfoFromIndex(caret).line;
        rewrapLines(first, last);
        // A re-wrap may pull text back into the line's first row.
        const TTextStore::LineInfo at = store_->InfoFromIndex(start);
        TLine* head = at.line;
        std::int32_t headStart = at.start;
        while (head->IsContinuation() && store_->Prev(head)) {
            head = store_->Prev(head);
            headStart -= head->Len();
        }
        pending = headStart;
    }
    refreshTopRow();
    // Rows below an edit that adds, removes or moves rows show other text
    // now.
    if (rowsMove || store_->NumLines() != rowsBefore)
        fullRepaint_ = true;
    // Other controls showing the same store find their rows again.
    for (TextStoreEditor* other : std::vector<TextStoreEditor*>(store_->Editors()))
        if (other != this)
            other->refreshFromStore();
    reasons_ |= crSelection | crText;
    if (store_->Buffer()) {
        pendingParse_ = store_->InfoFromIndex(pending).start;
        ParseText();
    }
}

void TCustomRudivoVoru::showEdit(bool noRepaint) {
    if (noRepaint)
        return;
    CaretInView(sel_.chEnd);
    UpdateScrollBars();
    DoChange();
    Paint();
}

void TCustomRudivoVoru::DoReplaceSel(std::string_view text, bool noRepaint) {
    UndoTransBegin(utReplaceSel);
    std::string padded;
    if (beyondEOL_ && sel_.Empty()) {
        // The line is first filled with blanks up to the virtual column.
        FormPadding(columnOfIndex(sel_.chEnd), virtualCol_, true, padded);
        padded.append(text);
        text = padded;
    }
    beyondEOL_ = false;
    const bool changes = !sel_.Empty() || !text.empty();
    const bool record = changes && undoRecording_ && !undoReplaying_ && store_->UndoStack();
    if (record) {
        try {
            openReplaceRecord();
        } catch (...) {
            UndoTransEnd(utReplaceSel);
            throw;
        }
    }
    const std::int32_t at = sel_.Normalised().chStart;
    try {
        replaceText(text);
    } catch (...) {
        if (record)
            historyBroken();
        UndoTransEnd(utReplaceSel);
        throw;
    }
    if (record) {
        closeReplaceRecord(at, sel_.chEnd - at);
    } else if (changes && !undoReplaying_ && store_->UndoStack() && store_->UndoStack()->TotalCount() > 0) {
        // An edit made while recording was off: the history no longer
        // matches the text and could only corrupt it.
        store_->UndoStack()->ClearHistory();
    }
    rememberedCol_ = CaretColumn();
    UndoTransEnd(utReplaceSel);
    showEdit(noRepaint);
}

void TCustomRudivoVoru::InsertSel(const char* text, std::int32_t length) {
    if (!text || length == 0 || length < -1)
        return;
    const std::size_t count = length == -1 ? std::strlen(text) : static_cast<std::size_t>(length);
    // One step that an undo takes back to the selection as it was.
    UndoTransBegin(utReplaceSel);
    try {
        const std::int32_t start = sel_.Normalised().chStart;
        applySelection({start, start}, true);
        DoReplaceSel(std::string_view(text, count));
    } catch (...) {
        UndoTransEnd(utReplaceSel);
        throw;
    }
    UndoTransEnd(utReplaceSel);
}

void TCustomRudivoVoru::SetText(std::string_view text) {
    // Every byte of the text, zero bytes included (WM_SETTEXT's characters
    // end at their zero before they get here).
    TMemoryStream stream{std::string(text)};
    LoadTextFromStream(*store_, stream);
    textReplaced();
}

void TCustomRudivoVoru::LoadFromFile(const std::string& path) {
    LoadTextFromFile(*store_, path);
    textReplaced();
    if (settings_->HasOption(smoTitleAsFilename))
        HTMLTitle = path;
}

void TCustomRudivoVoru::LoadFromLoader(TextLoader& loader) {
    loader.finish(*store_);
    textReplaced();
}

void TCustomRudivoVoru::LoadFromStream(TStream& stream) {
    LoadTextFromStream(*store_, stream);
    textReplaced();
}

void TCustomRudivoVoru::textReplaced() {
    styler_->Reset();
    sel_ = {};
    beyondEOL_ = false;
    rememberedCol_ = 0;
    pendingUndo_ = {};
    if (TUndoStack* history = store_->UndoStack())
        history->ClearHistory();
    topLine_ = 0;
    topOffset_ = 0;
    leftCol_ = 0;
    lineCount_ = {};
    refreshTopRow();
    // Long lines were cut at 2047 by the load; word wrap cuts at the width.
    if (settings_->HasOption(smoWordWrap))
        rewrapAll();
    perform(SMM_REFRESH);
}

} // namespace qorvi

namespace qorvi {

std::int32_t TCustomRudivoVoru::GetSelTextBuf(char* buffer, std::int32_t size) const {
    if (!buffer || size <= 0)
        return 0;
    std::string text = GetSelText();
    if (store_->SelLineStyle() == lsCRLF)
        text = withLineBreaks(text, LineBreakStyle::CRLF);
    const auto n =
        static_cast<std::int32_t>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return n;
}

std::int32_t TCustomRudivoVoru::GetTextBuf(char* buffer, std::int32_t size) const {
    if (!buffer || size <= 0)
        return 0;
    return static_cast<std::int32_t>(const_cast<TCustomRudivoVoru*>(this)->perform(
        WM_GETTEXT, static_cast<std::uintptr_t>(size), reinterpret_cast<std::intptr_t>(buffer)));
}

std::int32_t TCustomRudivoVoru::GetTextLen() const {
    return static_cast<std::int32_t>(const_cast<TCustomRudivoVoru*>(this)->perform(WM_GETTEXTLENGTH));
}

void TCustomRudivoVoru::ClearSelection() {
    if (readOnly_ || sel_.Empty())
        return;
    DoReplaceSel("");
}

void TCustomRudivoVoru::Clear() {
    perform(WM_SETREDRAW, 0);
    SetSelection({0, store_->NumChars()}, true);
    DoReplaceSel("", true);
    perform(WM_SETREDRAW, 1);
    SetModified(false);
}

} // namespace qorvi
