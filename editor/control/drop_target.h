#pragma once

// The drop target of an editor control: which of the offered formats it
// takes and in which order, the drop effect (copy with Ctrl held, else
// move), the drop caret while data is dragged over the control, and the
// hand-over of the dropped text to the control (OnTextDropped).

#include "editor/control/drop_data.h"

namespace qorvi {

class TRudivoVoruDropTarget {
public:
    explicit TRudivoVoruDropTarget(TCustomRudivoVoru& control) : control_(control) {}

    static int GetDropEffect(int keyState) { return (keyState & MK_CONTROL) ? deCopy : deMove; }

    // Points are in the control's client coordinates.
    void DragEnter(const DropData& data, int keyState, int x, int y, int& effect);
    void DragOver(int keyState, int x, int y, int& effect);
    void DragLeave();
    // False without data (the drop failed); `effect` says what was done.
    bool Drop(const DropData* data, int keyState, int x, int y, int& effect);

    // The formats the data being dragged offers that the control takes.
    TSourceTypes Available() const { return available_; }
    bool Accepting() const { return accept_; }

private:
    TSourceTypes offeredFormats(const DropData& data) const;

    TCustomRudivoVoru& control_;
    const DropData* data_ = nullptr;
    TSourceTypes available_ = 0;
    bool accept_ = false;
};

} // namespace qorvi
