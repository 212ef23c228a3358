#pragma once

// What the text store needs from an editor control attached to it. The
// store's markers belong to the text, not to one control: their events go
// to every control showing the store.

#include <string>

namespace qorvi {

class BreakpointControl;
class TSM_BreakpointData;
struct TMark;

class TextStoreEditor {
public:
    virtual ~TextStoreEditor() = default;
    // Refresh everything shown from the store (UpdateEditors).
    virtual void refreshFromStore() = 0;
    // Repaint after a line attribute (glyph, colour) changed.
    virtual void repaintFromStore() = 0;

    // A custom mark moved or grew, or is about to be freed.
    virtual void markChanged(TMark* /*mark*/) {}
    virtual void markFreed(TMark* /*mark*/) {}
    // A named bookmark went with the text it stood in.
    virtual void customBookmarkFreed(const std::string& /*name*/) {}
    // A breakpoint (or the code break) is about to be freed, or was enabled,
    // disabled or created.
    virtual void breakpointFreed(TSM_BreakpointData* /*data*/) {}
    virtual void breakpointStateChanged(TSM_BreakpointData* /*data*/) {}
    // The line index the store's breakpoints use while this editor shows it.
    virtual BreakpointControl* breakpointLines() { return nullptr; }
};

} // namespace qorvi
