// Copy, cut and paste of plain text (CF_TEXT): the selection leaves with CR
// LF line breaks; pasted text may break lines any way and is stored with
// the control's own. Cut and paste are one undo step each and do nothing on
// a read-only control. An empty selection copies nothing, so that the
// clipboard keeps what it held.

#include "editor/control/rudivo_voru.h"
#include "editor/text/line_break_writer.h"
#include "editor/undo/undo_record.h"

namespace qorvi {

ClipboardPort& TCustomRudivoVoru::Clipboard() const {
    return clipboard_ ? *clipboard_ : DefaultClipboard();
}

bool TCustomRudivoVoru::CanPaste() const {
    return Clipboard().hasFormat(ClipFormat::Text);
}

namespace {

// CF_TEXT ends at its terminating zero.
std::string clipText(std::string text) {
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos)
        text.resize(zero);
    return text;
}

} // namespace

std::intptr_t TCustomRudivoVoru::clipboardMessage(std::uint32_t msg) {
    switch (msg) {
    case WM_COPY:
        if (!sel_.Empty())
            Clipboard().setContents({{ClipFormat::Text, withLineBreaks(GetSelText(), LineBreakStyle::CRLF)}});
        return 0;
    case WM_CUT:
        if (readOnly_ || sel_.Empty())
            return 0;
        UndoTransBegin(utCut);
        try {
            Clipboard().setContents({{ClipFormat::Text, withLineBreaks(GetSelText(), LineBreakStyle::CRLF)}});
            DoReplaceSel("", true);
        } catch (...) {
            UndoTransEnd(utCut);
            throw;
        }
        UndoTransEnd(utCut);
        showEdit(false);
        return 0;
    case WM_PASTE: {
        if (readOnly_)
            return 0;
        const std::optional<std::string> data = Clipboard().data(ClipFormat::Text);
        if (!data)
            return 0;
        UndoTransBegin(utPaste);
        try {
            DoReplaceSel(clipText(*data), true);
        } catch (...) {
            UndoTransEnd(utPaste);
            throw;
        }
        UndoTransEnd(utPaste);
        showEdit(false);
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace qorvi
