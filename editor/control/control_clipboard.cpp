// Copy, cut and paste: the selection leaves as plain text (CF_TEXT, CR LF
// line breaks, decoded from the document's encoding into Unicode) and as
// RTF, as ClipCopyFormats asks; paste takes plain text, or HTML when nothing
// else is offered, encoded into the document's encoding. Pasted text may
// break lines any way and is stored with the control's own. Cut and paste
// are one undo step each and do nothing on a read-only control. An empty
// selection copies nothing, so that the clipboard keeps what it held.

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

std::string TCustomRudivoVoru::ProcessTextFormat(std::string text, TSourceTypes types) {
    if (!(types & sourceBit(stHTML)) || (types & sourceBit(stAsText)))
        return text;
    if (types & (sourceBit(stFullHTML) | sourceBit(stExtractHTML))) {
        const std::size_t open = text.find('<');
        text.erase(0, open == std::string::npos ? text.size() : open);
    }
    if (types & sourceBit(stExtractHTML)) {
        static constexpr std::string_view kStart = "<!--StartFragment-->";
        static constexpr std::string_view kEnd = "<!--EndFragment-->";
        const std::size_t start = text.find(kStart);
        const std::size_t end = start == std::string::npos ? start : text.find(kEnd, start + kStart.size());
        if (end != std::string::npos)
            text = text.substr(start + kStart.size(), end - start - kStart.size());
    }
    return text;
}

ClipboardPort::Contents TCustomRudivoVoru::clipboardContents() {
    ClipboardPort::Contents contents;
    if (ClipCopyFormats & smTEXT)
        contents.push_back(
            {ClipFormat::Text, DecodeFromDocument(withLineBreaks(GetSelText(), LineBreakStyle::CRLF))});
    if (ClipCopyFormats & smRTF)
        contents.push_back({ClipFormat::RichText, ExportText(kExportRTF)});
    return contents;
}

std::intptr_t TCustomRudivoVoru::clipboardMessage(std::uint32_t msg) {
    switch (msg) {
    case WM_COPY:
        if (!sel_.Empty())
            Clipboard().setContents(clipboardContents());
        return 0;
    case WM_CUT:
        if (readOnly_ || sel_.Empty())
            return 0;
        UndoTransBegin(utCut);
        try {
            Clipboard().setContents(clipboardContents());
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
        TSourceTypes types = 0;
        if (Clipboard().hasFormat(ClipFormat::Html))
            types |= sourceBit(stHTML);
        if (Clipboard().hasFormat(ClipFormat::Text))
            types |= sourceBit(stText);
        if (!types)
            return 0;
        types |= sourceBit(stPaste);
        if (OnDataDrop)
            OnDataDrop(*this, types);
        std::optional<std::string> data;
        if (types & sourceBit(stText))
            data = Clipboard().data(ClipFormat::Text);
        else if (types & sourceBit(stHTML))
            data = Clipboard().data(ClipFormat::Html);
        if (!data)
            return 0;
        // Never a substitute for a character the document cannot hold.
        const std::optional<std::string> bytes = EncodeForDocument(ProcessTextFormat(clipText(*data), types));
        if (!bytes)
            return 0;
        UndoTransBegin(utPaste);
        try {
            DoReplaceSel(*bytes, true);
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
