#include "tests/support/recording_canvas.h"

#include <cstdio>

namespace qorvi {
namespace {

std::string rectText(const CanvasRect& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%d,%d,%d,%d]", r.left, r.top, r.right, r.bottom);
    return buf;
}

std::string colorText(TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(c));
    return buf;
}

} // namespace

FontMetrics RecordingCanvas::setFont(const CanvasFont& font) {
    font_ = font;
    fonts_.push_back(font);
    calls_.push_back("font '" + font.name + "' " + std::to_string(font.height) +
                     (font.weight >= 700 ? " bold" : "") + (font.italic ? " italic" : ""));
    return FontMetrics{kCharHeight, kCharWidth, kExternalLeading, 0};
}

int RecordingCanvas::textWidth(std::string_view text) {
    return static_cast<int>(text.size()) * kCharWidth;
}

void RecordingCanvas::setTextColor(TColor color) {
    textColor_ = color;
}

void RecordingCanvas::setBackColor(TColor color) {
    backColor_ = color;
}

void RecordingCanvas::drawText(int x, int y, const CanvasRect& clip, std::string_view text, bool opaque,
                               const int* cellWidths) {
    calls_.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + rectText(clip) +
                     (opaque ? " opaque" : "") + (cellWidths ? " cells" : "") + " '" + std::string(text) +
                     "' " + colorText(textColor_) + "/" + colorText(backColor_));
}

void RecordingCanvas::fillRect(const CanvasRect& rect, TColor color) {
    calls_.push_back("fill " + rectText(rect) + " " + colorText(color));
}

void RecordingCanvas::line(int x1, int y1, int x2, int y2, const CanvasPen& pen) {
    calls_.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + " " + std::to_string(x2) +
                     "," + std::to_string(y2) + " " + colorText(pen.color) +
                     (pen.style == PenStyle::Dot ? " dot" : "") + (pen.xorMode ? " xor" : ""));
}

void RecordingCanvas::invertRect(const CanvasRect& rect) {
    calls_.push_back("invert " + rectText(rect));
}

void RecordingCanvas::drawGlyph(GlyphSet set, int index, int x, int y) {
    static const char* const names[] = {"gutter", "user", "wrapped"};
    calls_.push_back(std::string("glyph ") + names[static_cast<int>(set)] + " " + std::to_string(index) +
                     " " + std::to_string(x) + "," + std::to_string(y));
}

} // namespace qorvi
