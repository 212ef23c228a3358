#pragma once

// The editor's drawing port on Qt: a QPainter on a widget, an image or a
// printer. Fonts are asked for by their stored names and drawn with the
// fonts this platform has ("Courier New" as Liberation Mono, "MS Sans
// Serif" as DejaVu Sans, "Arial" as Liberation Sans); a negative height is a
// pixel size. Text crosses into Qt through the Windows-1252 table or as
// UTF-8 (textEncoding()), where each cluster is drawn in its cells with
// glyphs from whichever system font has them and a byte that is not UTF-8
// as a hex box; the Symbol font's marks cross through their Unicode shapes. Without a painter the
// canvas only measures (for font metrics outside a paint event).

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPalette>
#include <optional>
#include <vector>

class QPainter;
class QPaintDevice;

namespace qorvi {

class QtCanvas : public Canvas {
public:
    // Draws with `painter` on its device.
    explicit QtCanvas(QPainter& painter);
    // Measures for `device` and draws nothing.
    explicit QtCanvas(const QPaintDevice* device);
    ~QtCanvas() override;

    // System colours follow this palette (else the default light one).
    void setPalette(const QPalette& palette) { palette_ = palette; }
    // The images of GlyphSet::User (by default the gutter glyphs).
    void setUserGlyphs(const std::vector<QImage>* glyphs) { userGlyphs_ = glyphs; }

    int pixelsPerInchY() const override;
    FontMetrics setFont(const CanvasFont& font) override;
    int textWidth(std::string_view text) override;
    void setTextColor(TColor color) override { text_ = color; }
    void setBackColor(TColor color) override { back_ = color; }
    void drawText(int x, int y, const CanvasRect& clip, std::string_view text, bool opaque,
                  const int* cellWidths) override;
    void fillRect(const CanvasRect& rect, TColor color) override;
    void line(int x1, int y1, int x2, int y2, const CanvasPen& pen) override;
    void invertRect(const CanvasRect& rect) override;
    void drawGlyph(GlyphSet set, int index, int x, int y) override;
    void save() override;
    void restore() override;

    QColor toQColor(TColor color) const;
    const QFont& currentFont() const { return font_; }

private:
    QString toText(std::string_view text) const;
    QFont letterSpaced(double cell) const;
    void drawCells(int x, qreal baseline, int top, std::string_view text, const int* cellWidths);

    QPainter* painter_ = nullptr;
    const QPaintDevice* device_ = nullptr;
    QFont font_;
    bool symbolFont_ = false;
    std::optional<QFontMetricsF> metrics_;
    TColor text_ = clBlack;
    TColor back_ = clWhite;
    std::optional<QPalette> palette_;
    const std::vector<QImage>* userGlyphs_ = nullptr;
    struct State {
        QFont font;
        bool symbolFont;
        std::optional<QFontMetricsF> metrics;
        TColor text;
        TColor back;
    };
    std::vector<State> saved_;
};

// The family drawn for a stored font name.
QString substituteFontFamily(const std::string& name);

} // namespace qorvi
