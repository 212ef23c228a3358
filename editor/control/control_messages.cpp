// The message dispatch (Int_Perform): the standard edit-control messages and
// the control's private ones, with the Win32 numbers and argument packing.
// Messages of the search, import and export layers answer 0 here until
// those layers handle them. Every handler checks its offsets, row numbers
// and buffer sizes and writes no further than a caller's buffer.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/text/line_break_writer.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace qorvi {
namespace {

constexpr std::intptr_t MAKELONG(std::int32_t low, std::int32_t high) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(low) & 0xFFFF) |
                                      ((static_cast<std::uint32_t>(high) & 0xFFFF) << 16));
}

const char* identity() {
    static const std::string text = std::string("<TRudivoVoru>:") + kRudivoVoruVersion;
    return text.c_str();
}

} // namespace

void TCustomRudivoVoru::setOptionWord(std::uint32_t options, bool noRepaint) {
    if (options == settings_->Options())
        return;
    settings_->SetOptions(options);
    reasons_ |= crOptions;
    // Every control of the language takes the new options (and re-wraps
    // when word wrap changed).
    ShowChangesInUI();
    if (!noRepaint) {
        Paint();
        UpdateScrollBars();
    }
}

void TCustomRudivoVoru::scrollMessage(bool vertical, int request, int position) {
    if (vertical) {
        const std::int32_t page = std::max(1, clientHeight_ / std::max(1, GetLineHeight()));
        std::int32_t top = topLine_;
        switch (request) {
        case SB_LINEUP:
            --top;
            break;
        case SB_LINEDOWN:
            ++top;
            break;
        case SB_PAGEUP:
            top -= page;
            break;
        case SB_PAGEDOWN:
            top += page;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            top = position * ScaleFactor();
            break;
        case SB_TOP:
            top = 0;
            break;
        case SB_BOTTOM:
            top = store_->NumLines() - page;
            break;
        default:
            return;
        }
        NewScrollPos(leftCol_, top, false, true);
        return;
    }
    const std::int32_t page = std::max(1, (clientWidth_ - LeftRefPoint()) / std::max(1, charWidth_));
    std::int32_t left = leftCol_;
    switch (request) {
    case SB_LINELEFT:
        --left;
        break;
    case SB_LINERIGHT:
        ++left;
        break;
    case SB_PAGELEFT:
        left -= page;
        break;
    case SB_PAGERIGHT:
        left += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        left = position;
        break;
    case SB_TOP:
        left = 0;
        break;
    case SB_BOTTOM:
        left = store_->GetLongestLineLength();
        break;
    default:
        return;
    }
    NewScrollPos(left, topLine_, false, true);
}

std::intptr_t TCustomRudivoVoru::Int_Perform(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    const auto w32 = static_cast<std::int32_t>(WParam);
    const auto l32 = static_cast<std::int32_t>(LParam);
    switch (Msg) {
    case WM_SIZE:
        ViewResize(LOWORD(static_cast<std::uintptr_t>(LParam)), HIWORD(static_cast<std::uintptr_t>(LParam)));
        return 0;
    case WM_SETFOCUS:
        ViewFocus(true);
        return 0;
    case WM_KILLFOCUS:
        ViewFocus(false);
        return 0;
    case WM_SETREDRAW:
        redraw_ = WParam != 0;
        if (redraw_) {
            ScreenInvalid();
            Paint();
            UpdateScrollBars();
        }
        return 0;
    case WM_SETTEXT:
        SetText(LParam ? std::string_view(reinterpret_cast<const char*>(LParam)) : std::string_view());
        return 1;
    case WM_GETTEXTLENGTH: {
        std::int32_t length = store_->NumChars();
        if (store_->SelLineStyle() == lsCRLF)
            length += static_cast<std::int32_t>(crBefore(store_->NumChars()));
        return length;
    }
    case WM_GETTEXT: {
        if (!LParam || WParam == 0)
            return 0;
        std::string text = store_->GetText();
        if (store_->SelLineStyle() == lsCRLF)
            text = withLineBreaks(text, LineBreakStyle::CRLF);
        const std::size_t n = std::min<std::size_t>(text.size(), WParam - 1);
        std::memcpy(reinterpret_cast<char*>(LParam), text.data(), n);
        reinterpret_cast<char*>(LParam)[n] = '\0';
        return static_cast<std::intptr_t>(n);
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTab ? DLGC_WANTTAB : 0) |
               (WantReturns ? DLGC_WANTMESSAGE : 0);
    case EM_GETSEL: {
        const TChRange r = sel_.Normalised();
        if (WParam)
            *reinterpret_cast<std::int32_t*>(WParam) = r.chStart;
        if (LParam)
            *reinterpret_cast<std::int32_t*>(LParam) = r.chEnd;
        // The packed answer has 16 bits per end: past them it is -1 rather
        // than a wrong place; the pointers carry any offset.
        if (r.chEnd > 0xFFFF)
            return -1;
        return MAKELONG(r.chStart, r.chEnd);
    }
    case EM_SETSEL:
        if (w32 == 0 && l32 == -1)
            SetSelection({0, store_->NumChars()});
        else if (w32 < 0)
            SetSelection({sel_.chEnd, sel_.chEnd});
        else
            SetSelection({w32, l32 < 0 ? store_->NumChars() : l32});
        return 0;
    case EM_LINESCROLL: {
        // Any distance: the sums are clamped to the text, never overflowed.
        auto moved = [](std::int32_t from, std::int32_t by) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{from} + by, 0, INT32_MAX));
        };
        NewScrollPos(moved(leftCol_, w32), moved(topLine_, l32), false, true);
        return 1;
    }
    case EM_SCROLLCARET:
        CaretInView(sel_.chEnd);
        DoChange();
        Paint();
        return 1;
    case EM_GETLINECOUNT:
        return rowCount();
    case EM_LINEINDEX: {
        const std::int32_t row = w32 == -1 ? caretRow(sel_.chEnd).index : w32;
        if (row < 0 || row >= rowCount())
            return -1;
        return rowByNumber(row).start;
    }
    case EM_LINELENGTH: {
        const CaretRow row = caretRow(w32 == -1 ? sel_.chEnd : std::max(0, w32));
        return row.phantom ? 0 : row.line->Len() - (row.line->EndsWithCR() ? 1 : 0);
    }
    case EM_REPLACESEL:
        DoReplaceSel(LParam ? std::string_view(reinterpret_cast<const char*>(LParam)) : std::string_view());
        return 0;
    case SMM_REPLACESEL:
        DoReplaceSel(LParam ? std::string_view(reinterpret_cast<const char*>(LParam)) : std::string_view(),
                     (WParam & kSmmNoRepaint) != 0);
        return 0;
    case EM_GETLINE: {
        // The buffer's first word holds its size; no terminating zero.
        if (!LParam || w32 < 0 || w32 >= rowCount())
            return 0;
        auto* buffer = reinterpret_cast<char*>(LParam);
        std::uint16_t size = 0;
        std::memcpy(&size, buffer, sizeof size);
        const CaretRow row = rowByNumber(w32);
        if (row.phantom)
            return 0;
        const std::size_t n = std::min<std::size_t>(
            size, static_cast<std::size_t>(row.line->Len() - (row.line->EndsWithCR() ? 1 : 0)));
        std::memcpy(buffer, row.line->Text(), n);
        return static_cast<std::intptr_t>(n);
    }
    case EM_LINEFROMCHAR:
        return caretRow(w32 == -1 ? sel_.chEnd : std::max(0, w32)).index;
    case EM_GETFIRSTVISIBLELINE:
        return topLine_;
    case EM_POSFROMCHAR: {
        int x = 0;
        int y = 0;
        if (w32 < 0 || w32 > store_->NumChars() || !PosFromIndex(w32, x, y) || x < 0 || x >= clientWidth_ ||
            y >= clientHeight_)
            return -1;
        return MAKELONG(x, y);
    }
    case EM_CHARFROMPOS: {
        const int x = static_cast<std::int16_t>(LParam & 0xFFFF);
        const int y = static_cast<std::int16_t>((LParam >> 16) & 0xFFFF);
        if (x < LeftRefPoint() || x >= clientWidth_ || y < 0 || y >= clientHeight_)
            return -1;
        return IndexFromPos(x, y);
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        scrollMessage(Msg == WM_VSCROLL, LOWORD(WParam), HIWORD(WParam));
        return 0;
    case SMM_SELECTION:
        if (!LParam)
            return 0;
        if (WParam & kSmmSet)
            SetSelection(*reinterpret_cast<const TChRange*>(LParam), (WParam & kSmmNoRepaint) != 0);
        else
            *reinterpret_cast<TChRange*>(LParam) = sel_;
        return 0;
    case SMM_OPTIONS:
        if (WParam & kSmmSet) {
            setOptionWord(static_cast<std::uint32_t>(LParam), (WParam & kSmmNoRepaint) != 0);
            return 0;
        }
        return static_cast<std::intptr_t>(settings_->Options());
    case SMM_LOCKUPDATE:
        if (!(WParam & kSmmSet))
            return updateLock_ != 0;
        if (LParam) {
            updateLock_ = 1;
        } else if (updateLock_) {
            updateLock_ = 0;
            ScreenInvalid();
            reasons_ |= crSize;
            UpdateScrollBars();
            DoChange();
            Paint();
        }
        return 0;
    case SMM_TOPLINE:
        if (WParam & kSmmSet) {
            NewScrollPos(leftCol_, l32, false, !(WParam & kSmmNoRepaint));
            return 0;
        }
        return topLine_;
    case SMM_LEFTCOLUMN:
        if (WParam & kSmmSet) {
            NewScrollPos(l32, topLine_, false, !(WParam & kSmmNoRepaint));
            return 0;
        }
        return leftCol_;
    case SMM_REFRESH:
        refreshFromSettings();
        return 0;
    case SMM_TEXTSTORE:
        if (WParam & kSmmSet) {
            SetTextStore(reinterpret_cast<TTextStore*>(LParam));
            return 0;
        }
        return reinterpret_cast<std::intptr_t>(store_);
    case SMM_PARSESTART:
        if (store_->Buffer()) {
            const TTextStore::LineInfo info = store_->LineFromLineIndex(std::max(0, l32));
            info.line->AddFlags(lfParseStart);
            pendingParse_ = pendingParse_ < 0 ? info.start : std::min(pendingParse_, info.start);
        }
        return 0;
    case SMM_IDENTIFY:
        return reinterpret_cast<std::intptr_t>(identity());
    default: {
        bool handled = false;
        const std::intptr_t result = editMessage(Msg, WParam, LParam, handled);
        return handled ? result : 0;
    }
    }
}

// The editing, undo and clipboard messages.
std::intptr_t TCustomRudivoVoru::editMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                             bool& handled) {
    handled = true;
    const auto w32 = static_cast<std::int32_t>(wParam);
    const auto l32 = static_cast<std::int32_t>(lParam);
    switch (msg) {
    case EM_GETMODIFY:
        return GetModified();
    case EM_CANUNDO:
        return CanUndo();
    case EM_UNDO:
    case WM_UNDO:
        return DoUndo();
    case EM_EMPTYUNDOBUFFER:
        SetModified(false);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (settings_->HasOption(smoWordSelect))
            DoSelectWord();
        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
        return clipboardMessage(msg);
    case WM_DROPFILES: { // wParam: the std::vector<std::string> of names, lParam: the point (x, y words)
        if (wParam) {
            const auto x = static_cast<std::int16_t>(lParam & 0xFFFF);
            const auto y = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
            DropFiles(*reinterpret_cast<const std::vector<std::string>*>(wParam), x, y);
        }
        return 0;
    }
    case EM_CANPASTE:
        return (wParam == 0 || wParam == 1) && CanPaste();
    case SMM_IMPORT: // lParam: the TStream read from
        if (lParam)
            DoImport(*reinterpret_cast<TStream*>(lParam));
        return 0;
    case SMM_EXPORT: // wParam: export flags, lParam: the TStream written to
        if (lParam)
            DoExport(*reinterpret_cast<TStream*>(lParam), static_cast<int>(wParam));
        return 0;
    case SMM_EXPORTTEXT: // wParam: export flags, lParam: the std::string filled
        if (lParam)
            *reinterpret_cast<std::string*>(lParam) = ExportText(static_cast<int>(wParam));
        return 0;
    case SMM_MODIFIED:
        if (wParam & kSmmSet) {
            SetModified(lParam != 0);
            return 0;
        }
        return GetModified();
    case SMM_CANREDO:
        return CanRedo();
    case SMM_REDO:
        return DoReDo();
    case SMM_INDENT:
        DoIndent(w32, l32);
        return 0;
    case SMM_UNDENT:
        DoUndent(w32);
        return 0;
    case SMM_UNDOSTACK:
        if (wParam & kSmmSet) {
            SetUndoStack(reinterpret_cast<TUndoStack*>(lParam));
            return 0;
        }
        return reinterpret_cast<std::intptr_t>(store_->UndoStack());
    case SMM_FIND: // wParam: kFind* flags, lParam: the zero-terminated text
        return DoFindText(static_cast<std::int32_t>(wParam),
                          lParam ? std::string(reinterpret_cast<const char*>(lParam)) : std::string());
    case SMM_REPLACE:
        DoReplaceText(static_cast<std::int32_t>(wParam),
                      lParam ? std::string(reinterpret_cast<const char*>(lParam)) : std::string(), {});
        return 0;
    case SMM_SETSTYLES:
    case SMM_GETSTYLES:
        return lParam ? styleBlock(*reinterpret_cast<TSMStyleBlock*>(lParam), msg == SMM_SETSTYLES) : 0;
    default:
        handled = false;
        return 0;
    }
}

std::intptr_t TCustomRudivoVoru::styleBlock(TSMStyleBlock& block, bool set) {
    if (!block.Buffer || block.Size <= 0 || block.First < 0 || block.Count <= 0 ||
        block.First >= store_->NumLines())
        return 0;
    std::int32_t copied = 0;
    TLine* row = store_->LineFromLineIndex(block.First).line;
    for (std::int32_t i = 0; row && i < block.Count && copied < block.Size; ++i, row = store_->Next(row)) {
        const std::int32_t n = std::min<std::int32_t>(row->Len(), block.Size - copied);
        if (set) {
            std::uint8_t styles[kMaxLineLen];
            if (!row->ReadStyles(styles))
                std::memset(styles, 0, row->Len());
            std::memcpy(styles, block.Buffer + copied, static_cast<std::size_t>(n));
            store_->SetLineStyles(row, styles);
            row->AddFlags(lfRepaint);
        } else if (const LineStyles styles(*row); styles.data()) {
            std::memcpy(block.Buffer + copied, styles.data(), static_cast<std::size_t>(n));
        } else {
            std::memset(block.Buffer + copied, 0, static_cast<std::size_t>(n));
        }
        copied += n;
    }
    if (set)
        Paint();
    return copied;
}

} // namespace qorvi
