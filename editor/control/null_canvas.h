#pragma once

// The canvas of a control that has no window yet: it measures every
// character 7 pixels wide and 17 high (the control's fallback metrics) and
// draws nothing.

#include "platform/canvas.h"

namespace qorvi {

class NullCanvas final : public Canvas {
public:
    int pixelsPerInchY() const override { return 96; }
    FontMetrics setFont(const CanvasFont&) override { return FontMetrics{17, 7, 0, 0}; }
    int textWidth(std::string_view text) override { return static_cast<int>(text.size()) * 7; }
    void setTextColor(TColor) override {}
    void setBackColor(TColor) override {}
    void drawText(int, int, const CanvasRect&, std::string_view, bool, const int*) override {}
    void fillRect(const CanvasRect&, TColor) override {}
    void line(int, int, int, int, const CanvasPen&) override {}
    void invertRect(const CanvasRect&) override {}
    void drawGlyph(GlyphSet, int, int, int) override {}
};

} // namespace qorvi
