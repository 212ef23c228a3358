#pragma once

// The drawing port of the editor: everything the row painter, the gutter,
// the printing code and the settings' resources need from a device, in the
// Windows terms the control was designed in (fonts by height and weight,
// 0x00BBGGRR colours, clip rectangles, XOR drawing). QtCanvas implements it
// on a widget, an image or a printer; RecordingCanvas, with fixed metrics,
// serves the tests.

#include "platform/colors.h"
#include "platform/text_encoding.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

struct CanvasRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const CanvasRect&) const = default;
};

// A font as the device is asked for it. `height` follows the Windows
// convention: negative = character height in pixels, positive = cell height.
struct CanvasFont {
    std::string name;
    int height = 0;
    int weight = 400; // 700 = bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 1;

    bool operator==(const CanvasFont&) const = default;
};

struct FontMetrics {
    int height = 0;          // cell height in pixels
    int averageWidth = 0;    // average character width
    int externalLeading = 0; // extra space between lines the font suggests
    int overhang = 0;        // extra width of italic or bold runs
};

enum class PenStyle { Solid, Dot };

struct CanvasPen {
    TColor color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool xorMode = false; // draw by inverting what is there (focus lines)
};

// The image lists the painter draws from.
enum class GlyphSet {
    Gutter,  // the 16 gutter glyphs (bookmarks 0-9, breakpoint states, ...)
    User,    // the application's UserGlyphs
    Wrapped, // the wrapped-row glyph (index 0)
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Vertical resolution, for point sizes.
    virtual int pixelsPerInchY() const = 0;

    // Selects the font for the following text calls and returns its metrics.
    virtual FontMetrics setFont(const CanvasFont& font) = 0;
    // Width of `text` in the current font.
    virtual int textWidth(std::string_view text) = 0;

    virtual void setTextColor(TColor color) = 0;
    virtual void setBackColor(TColor color) = 0;

    // Draws `text` with its top-left at (x, y), clipped to `clip`. An opaque
    // call first fills `clip` with the back colour; otherwise the background
    // stays. With `cellWidths`, character i advances by cellWidths[i] (fixed
    // pitch rows place one character per cell).
    virtual void drawText(int x, int y, const CanvasRect& clip, std::string_view text, bool opaque,
                          const int* cellWidths = nullptr) = 0;
    virtual void fillRect(const CanvasRect& rect, TColor color) = 0;
    virtual void line(int x1, int y1, int x2, int y2, const CanvasPen& pen) = 0;
    // Inverts the pixels of `rect` (tab marks, drag feedback).
    virtual void invertRect(const CanvasRect& rect) = 0;
    // Draws image `index` of a glyph set at (x, y), transparent in the colour
    // of its bottom-left pixel.
    virtual void drawGlyph(GlyphSet set, int index, int x, int y) = 0;
    // The font and colours as they are now, kept across drawing that must
    // leave them as it found them (a text printed into another's job).
    virtual void save() {}
    virtual void restore() {}

    // How the bytes given to textWidth and drawText read as characters. In
    // UTF-8 a cell-width table gives the lead byte of each character (or
    // grapheme cluster) its whole advance and the bytes after it 0, and a
    // byte that is not valid UTF-8 is drawn as a box holding its hex value.
    void setTextEncoding(TextEncoding encoding) { encoding_ = encoding; }
    TextEncoding textEncoding() const { return encoding_; }

protected:
    TextEncoding encoding_ = TextEncoding::Windows1252;
};

} // namespace qorvi
