#include "editor/control/drop_target.h"

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

namespace qorvi {

TSourceTypes TRudivoVoruDropTarget::offeredFormats(const DropData& data) const {
    TSourceTypes types = 0;
    for (const TSourceType format : {stUnicode, stText, stHTML})
        if (data.offers(format))
            types |= sourceBit(format);
    // Files only when the control opens dropped files.
    if (data.offers(stFileNames) && control_.Settings().HasOption(smoProcessDroppedFiles))
        types |= sourceBit(stFileNames);
    return types;
}

void TRudivoVoruDropTarget::DragEnter(const DropData& data, int keyState, int x, int y, int& effect) {
    data_ = &data;
    effect = GetDropEffect(keyState);
    available_ = offeredFormats(data);
    accept_ = available_ != 0;
    if (accept_)
        control_.OLE_SHOWPOS(x, y);
    else
        effect = deNone;
}

void TRudivoVoruDropTarget::DragOver(int keyState, int x, int y, int& effect) {
    if (accept_)
        control_.OLE_SHOWPOS(x, y);
    effect = accept_ ? GetDropEffect(keyState) : deNone;
    control_.DoOLEDragOver(data_, effect, x, y);
}

void TRudivoVoruDropTarget::DragLeave() {
    control_.HideDropCaret();
    data_ = nullptr;
    accept_ = false;
    available_ = 0;
}

bool TRudivoVoruDropTarget::Drop(const DropData* data, int keyState, int x, int y, int& effect) {
    if (!data) {
        DragLeave();
        return false;
    }
    effect = GetDropEffect(keyState);
    if (data != data_)
        available_ = offeredFormats(*data);
    TSourceTypes types = available_ | sourceBit(stAsText) | sourceBit(stFileDropEvent);
    if (control_.OnDataDrop)
        control_.OnDataDrop(control_, types);
    const TSourceTypes actions = types & kSourceActionMask;
    const TSourceTypes formats = types & ~kSourceActionMask & available_;
    TSourceType chosen = stIgnore;
    for (const TSourceType format : {stHTML, stText, stUnicode, stFileNames})
        if (formats & sourceBit(format)) {
            chosen = format;
            break;
        }
    if (chosen == stIgnore || (actions & sourceBit(stIgnore))) {
        effect = deNone;
        DragLeave();
        return true;
    }
    control_.OLE_SHOWPOS(x, y);
    TDropObj dropped;
    dropped.Lists[chosen] = data->read(chosen);
    std::string text;
    for (std::size_t i = 0; i < dropped.Lists[chosen].size(); ++i) {
        if (chosen == stFileNames && i > 0)
            text += '\r';
        text += dropped.Lists[chosen][i];
    }
    dropped.Lengths[chosen] = text.size();
    effect = control_.OnTextDropped(text, effect, actions | sourceBit(chosen), data->source(), x, y);
    DragLeave();
    return true;
}

} // namespace qorvi
