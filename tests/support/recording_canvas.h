#pragma once

// A canvas for tests: fixed metrics (every character 8 pixels wide, 16 high,
// 1 pixel external leading, 96 dots per inch; bold adds no width) and a log
// of every call as text, e.g. "text 10,0 [0,0,100,17] opaque 'int'".

#include "platform/canvas.h"

#include <string>
#include <vector>

namespace qorvi {

class RecordingCanvas : public Canvas {
public:
    static constexpr int kCharWidth = 8;
    static constexpr int kCharHeight = 16;
    static constexpr int kExternalLeading = 1;

    explicit RecordingCanvas(int pixelsPerInch = 96) : ppi_(pixelsPerInch) {}

    int pixelsPerInchY() const override { return ppi_; }
    FontMetrics setFont(const CanvasFont& font) override;
    int textWidth(std::string_view text) override;
    void setTextColor(TColor color) override;
    void setBackColor(TColor color) override;
    void drawText(int x, int y, const CanvasRect& clip, std::string_view text, bool opaque,
                  const int* cellWidths) override;
    void fillRect(const CanvasRect& rect, TColor color) override;
    void line(int x1, int y1, int x2, int y2, const CanvasPen& pen) override;
    void invertRect(const CanvasRect& rect) override;
    void drawGlyph(GlyphSet set, int index, int x, int y) override;

    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    const CanvasFont& currentFont() const { return font_; }
    TColor textColor() const { return textColor_; }
    TColor backColor() const { return backColor_; }
    // Fonts selected so far, in order.
    const std::vector<CanvasFont>& fontsSelected() const { return fonts_; }

private:
    int ppi_;
    CanvasFont font_;
    TColor textColor_ = clBlack;
    TColor backColor_ = clWhite;
    std::vector<std::string> calls_;
    std::vector<CanvasFont> fonts_;
};

} // namespace qorvi
