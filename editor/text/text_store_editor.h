#pragma once

// What the text store needs from an editor control attached to it.

namespace qorvi {

class TextStoreEditor {
public:
    virtual ~TextStoreEditor() = default;
    // Refresh everything shown from the store (UpdateEditors).
    virtual void refreshFromStore() = 0;
    // Repaint after a line attribute (glyph, colour) changed.
    virtual void repaintFromStore() = 0;
};

} // namespace qorvi
