#pragma once

// A host for an editor control that shows nothing: painting, scroll bars
// and the caret go nowhere, and text is measured on a recording canvas of
// fixed metrics (8 x 16 cells), so layouts are the same on every machine.

#include "editor/control/control_host.h"
#include "tests/support/recording_canvas.h"

namespace qorvi::test {

class QuietControlHost : public ControlHost {
public:
    Canvas& measureCanvas() override { return canvas; }
    void invalidateRect(const CanvasRect&) override {}
    void setScrollBar(ScrollBarKind, int, int, int, int) override {}
    void showCaret(const CanvasRect&) override {}
    void hideCaret() override {}
    void scheduleIdle() override {}
    RecordingCanvas canvas;
};

} // namespace qorvi::test
