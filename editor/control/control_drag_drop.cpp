// Drag and drop on the control: the drop caret while data is dragged over
// it, the dropped text inserted (copy) or moved (move) as one undo step,
// files handed to OnFilesDropped, and the selection dragged out of the
// control through the window's drag loop. A drop of the control's own
// selection opens the undo transaction that the drag source, still inside
// its drag loop, closes after it, so a move within the control is one step.

#include "editor/control/drop_target.h"
#include "editor/control/rudivo_voru.h"
#include "editor/control/rudivo_voru_strings.h"
#include "editor/settings/editor_settings.h"
#include "editor/text/line_break_writer.h"
#include "editor/undo/undo_record.h"

#include <algorithm>

namespace qorvi {
namespace {

// Dropped file names come one per line.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

} // namespace

TRudivoVoruDropTarget& TCustomRudivoVoru::DropTarget() {
    if (!dropTarget_)
        dropTarget_ = std::make_unique<TRudivoVoruDropTarget>(*this);
    return *dropTarget_;
}

void TCustomRudivoVoru::OLE_SHOWPOS(int x, int y) {
    x = std::max(x, LeftRefPoint());
    if (autoScrollOutside(x, y) || y < GetLineHeight() / 2 || y > clientHeight_ - GetLineHeight() / 2) {
        // Near an edge the view follows, as a selecting drag makes it.
        std::int32_t top = topLine_;
        if (y < GetLineHeight() / 2)
            --top;
        else if (y > clientHeight_ - GetLineHeight() / 2)
            ++top;
        NewScrollPos(leftCol_, std::max(0, top), false, false);
    }
    const int cy = std::clamp(y, 0, std::max(0, clientHeight_ - 1));
    dropIndex_ = IndexFromPos(x, cy);
    if (host_) {
        int px = 0;
        int py = 0;
        if (PosFromIndex(dropIndex_, px, py))
            host_->showCaret({px, py, px + 2, py + GetLineHeight()});
    }
    Paint();
}

void TCustomRudivoVoru::HideDropCaret() {
    if (dropIndex_ < 0)
        return;
    dropIndex_ = -1;
    if (host_ && !focused_)
        host_->hideCaret();
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::DoOLEDragOver(const DropData* data, int& effect, int x, int y) {
    if (OnOLEDragOver)
        OnOLEDragOver(*this, data, effect, x, y);
}

int TCustomRudivoVoru::OnTextDropped(std::string text, int effect, TSourceTypes types,
                                     const TCustomRudivoVoru* source, int x, int y) {
    text = ProcessTextFormat(std::move(text), types);
    if ((types & sourceBit(stFileNames)) && (types & sourceBit(stFileDropEvent)) &&
        settings_->HasOption(smoProcessDroppedFiles) && OnFilesDropped) {
        std::vector<std::string> files = splitLines(text);
        OnFilesDropped(*this, files, x, y);
        text.clear();
        for (std::size_t i = 0; i < files.size(); ++i)
            text += (i ? "\r" : "") + files[i];
        if (!(types & sourceBit(stAsText))) {
            if (host_)
                host_->takeFocus();
            return effect;
        }
    }
    if (!(types & sourceBit(stFileNames))) {
        // Dragged text is Unicode; the document holds it in its encoding.
        std::optional<std::string> bytes = EncodeForDocument(text);
        if (!bytes)
            return deNone;
        text = std::move(*bytes);
    }
    const bool own = source == this && draggingOut_;
    const TChRange sel = sel_.Normalised();
    std::int32_t index = dropIndex_ >= 0 ? dropIndex_ : IndexFromPos(std::max(x, LeftRefPoint()), y);
    if (own && index >= sel.chStart && index <= sel.chEnd)
        return deNone; // onto itself: nothing to do
    if (readOnly_ || effect == deNone)
        return deNone;
    UndoTransBegin(utDrop);
    Lines().BeginUpdate();
    try {
        if (effect == deMove && own) {
            if (index > sel.chStart)
                index -= sel.chEnd - sel.chStart;
            SetSelection(sel, true);
            DoReplaceSel("", true);
        }
        SetSelection({index, index}, true);
        DoReplaceSel(text, true);
    } catch (...) {
        Lines().EndUpdate();
        UndoTransEnd(utDrop);
        throw;
    }
    if (own) {
        // The drag source closes the step when its drag loop returns.
        ownDrop_ = true;
        dropTransOpen_ = true;
        dropPosition_ = index;
    } else {
        Lines().EndUpdate();
        UndoTransEnd(utDrop);
        showEdit(false);
        DoChange();
    }
    return effect;
}

bool TCustomRudivoVoru::StartTextDrag() {
    if (!host_ || !settings_->HasOption(smoOLEDragSource) || sel_.Empty())
        return false;
    const TChRange sel = sel_.Normalised();
    const TRudivoVoruDataObject data(*this, DecodeFromDocument(withLineBreaks(GetSelText(), LineBreakStyle::CRLF)));
    draggingOut_ = true;
    ownDrop_ = false;
    dropTransOpen_ = false;
    dropPosition_ = -1;
    int effect = deNone;
    const auto closeDrop = [this] {
        draggingOut_ = false;
        if (dropTransOpen_) {
            dropTransOpen_ = false;
            Lines().EndUpdate();
            UndoTransEnd(utDrop);
        }
    };
    try {
        effect = host_->startTextDrag(data, readOnly_ ? deCopy : deCopy | deMove);
        if (effect < 0) {
            closeDrop();
            return false;
        }
        if (effect == deMove && !readOnly_) {
            if (ownDrop_) {
                SetSelection({dropPosition_, dropPosition_}, true);
            } else {
                // Moved into another control or program: the text leaves here.
                UndoTransBegin(utDrop);
                SetSelection(sel, true);
                DoReplaceSel("", true);
                UndoTransEnd(utDrop);
            }
            AddChangeReason(crSelection | crText | crKeyboard);
        } else if (effect == deCopy && ownDrop_) {
            SetSelection({dropPosition_, dropPosition_}, true);
        }
    } catch (...) {
        closeDrop();
        throw;
    }
    closeDrop();
    showEdit(false);
    DoChange();
    return true;
}

void TCustomRudivoVoru::DropFiles(std::vector<std::string> files, int x, int y) {
    if (!settings_->HasOption(smoProcessDroppedFiles) || !OnFilesDropped || files.empty())
        return;
    if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_)
        x = y = -1;
    OnFilesDropped(*this, files, x, y);
}

} // namespace qorvi
