#include "platform/qt/qt_canvas.h"

#include "platform/qt/gutter_glyphs.h"
#include "platform/qt/text_convert.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace qorvi {
namespace {

constexpr std::uint8_t kSymbolCharset = 2;

} // namespace

QString substituteFontFamily(const std::string& name) {
    if (name == "Courier New" || name == "Courier")
        return QStringLiteral("Liberation Mono");
    if (name == "MS Sans Serif" || name == "Symbol")
        return QStringLiteral("DejaVu Sans");
    if (name == "Arial")
        return QStringLiteral("Liberation Sans");
    return toQString(name);
}

QtCanvas::QtCanvas(QPainter& painter) : painter_(&painter), device_(painter.device()) {
}

QtCanvas::QtCanvas(const QPaintDevice* device) : device_(device) {
}

QtCanvas::~QtCanvas() = default;

int QtCanvas::pixelsPerInchY() const {
    return device_ ? device_->logicalDpiY() : 96;
}

FontMetrics QtCanvas::setFont(const CanvasFont& font) {
    QFont q(substituteFontFamily(font.name));
    if (font.height < 0)
        q.setPixelSize(-font.height);
    else if (font.height > 0)
        // A positive height is the whole cell; the glyphs take about 4/5.
        q.setPixelSize(std::max(1, static_cast<int>(std::lround(font.height * 0.8))));
    else
        q.setPixelSize(13);
    q.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    q.setKerning(false);
    font_ = q;
    symbolFont_ = font.charSet == kSymbolCharset || font.name == "Symbol";
    metrics_.emplace(q, const_cast<QPaintDevice*>(device_));
    if (painter_)
        painter_->setFont(q);
    FontMetrics m;
    m.height = static_cast<int>(std::ceil(metrics_->ascent() + metrics_->descent()));
    m.averageWidth = static_cast<int>(std::lround(metrics_->averageCharWidth()));
    m.externalLeading = std::max(0, static_cast<int>(std::lround(metrics_->leading())));
    return m;
}

namespace {

bool isControlByte(unsigned char b) {
    return (b < 32 && b != '\t') || b == 127;
}

} // namespace

QString QtCanvas::toText(std::string_view text) const {
    if (!symbolFont_) {
        QString shown = encoding_ == TextEncoding::Utf8 ? QString::fromUtf8(decodeToUtf8(text, encoding_))
                                                        : toQString(std::string(text));
        // Control characters are the user's bytes too: each shows as its
        // one-cell picture (NUL as "NUL", ESC as "ESC" ...), never as nothing.
        for (QChar& c : shown)
            if (c.unicode() < 128 && isControlByte(static_cast<unsigned char>(c.unicode())))
                c = QChar(c.unicode() == 127 ? 0x2421 : 0x2400 + c.unicode());
        return shown;
    }
    // The Symbol font's arrows as their Unicode shapes.
    QString out;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += b == 174 ? QChar(0x2192) : b == 191 ? QChar(0x21B5) : QChar(b);
    }
    return out;
}

int QtCanvas::textWidth(std::string_view text) {
    if (!metrics_)
        setFont(CanvasFont{"Courier New", -13});
    return static_cast<int>(std::lround(metrics_->horizontalAdvance(toText(text))));
}

QFont QtCanvas::letterSpaced(double cell) const {
    // Each character then advances by exactly one cell.
    QFont spaced = font_;
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, cell - metrics_->horizontalAdvance(QLatin1Char('W')));
    return spaced;
}

void QtCanvas::drawText(int x, int y, const CanvasRect& clip, std::string_view text, bool opaque,
                        const int* cellWidths) {
    if (!painter_)
        return;
    if (!metrics_)
        setFont(CanvasFont{"Courier New", -13});
    const QRect rect(clip.left, clip.top, clip.width(), clip.height());
    if (opaque && rect.isValid())
        painter_->fillRect(rect, toQColor(back_));
    if (text.empty())
        return;
    painter_->setClipRect(rect);
    painter_->setPen(toQColor(text_));
    const qreal baseline = y + metrics_->ascent();
    const QString shown = toText(text);
    if (cellWidths && encoding_ == TextEncoding::Utf8 && !symbolFont_ && !isAscii(text)) {
        drawCells(x, baseline, y, text, cellWidths);
        painter_->setClipping(false);
        return;
    }
    bool uniform = cellWidths != nullptr;
    for (std::size_t i = 1; uniform && i < text.size(); ++i)
        uniform = cellWidths[i] == cellWidths[0];
    // A control character's picture comes from another font, whose advance
    // the letter spacing does not fit: such runs are drawn cell by cell.
    for (std::size_t i = 0; uniform && i < text.size(); ++i)
        uniform = !isControlByte(static_cast<unsigned char>(text[i]));
    if (cellWidths && uniform) {
        painter_->setFont(letterSpaced(cellWidths[0]));
        painter_->drawText(QPointF(x, baseline), shown);
        painter_->setFont(font_);
    } else if (cellWidths) {
        qreal at = x;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            painter_->drawText(QPointF(at, baseline), QString(shown[i]));
            at += cellWidths[i];
        }
    } else {
        painter_->drawText(QPointF(x, baseline), shown);
    }
    painter_->setClipping(false);
}

void QtCanvas::drawCells(int x, qreal baseline, int top, std::string_view text, const int* cellWidths) {
    // Each cluster starts at a byte with a width and runs to the next one;
    // its glyphs come from whichever system font has them.
    int at = x;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i + 1;
        while (end < text.size() && cellWidths[end] == 0)
            ++end;
        const std::string_view cluster = text.substr(i, end - i);
        const int width = cellWidths[i];
        if (utf8SequenceLength(cluster) == 0) {
            // A byte that is not UTF-8: a box with its two hex digits.
            const auto byte = static_cast<unsigned char>(cluster[0]);
            const int height = static_cast<int>(std::ceil(metrics_->ascent() + metrics_->descent()));
            const QRect box(at + 1, top + 1, std::max(2, width - 3), std::max(2, height - 3));
            painter_->drawRect(box);
            QFont small = font_;
            small.setPixelSize(std::max(6, height / 2));
            painter_->setFont(small);
            painter_->drawText(box, Qt::AlignCenter, QString::number(byte, 16).toUpper().rightJustified(2, u'0'));
            painter_->setFont(font_);
        } else {
            painter_->drawText(QPointF(at, baseline), toText(cluster));
        }
        at += width;
        i = end;
    }
}

void QtCanvas::fillRect(const CanvasRect& rect, TColor color) {
    if (painter_ && rect.width() > 0 && rect.height() > 0)
        painter_->fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), toQColor(color));
}

void QtCanvas::line(int x1, int y1, int x2, int y2, const CanvasPen& pen) {
    if (!painter_)
        return;
    // The end point is not drawn, as on the device the editor was made for.
    if (x1 == x2 && y1 != y2)
        y2 += y2 > y1 ? -1 : 1;
    else if (y1 == y2 && x1 != x2)
        x2 += x2 > x1 ? -1 : 1;
    QPen qpen(toQColor(pen.color), pen.width, pen.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    qpen.setCapStyle(Qt::FlatCap);
    const bool xorMode = pen.xorMode && painter_->paintEngine() &&
                         painter_->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (xorMode)
        painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->setPen(qpen);
    painter_->drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    if (xorMode)
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtCanvas::invertRect(const CanvasRect& rect) {
    if (!painter_ || !painter_->paintEngine() ||
        !painter_->paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        return;
    painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_->fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), Qt::black);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtCanvas::drawGlyph(GlyphSet set, int index, int x, int y) {
    if (!painter_)
        return;
    if (set == GlyphSet::Wrapped) {
        painter_->drawImage(x, y, wrappedRowGlyph());
        return;
    }
    const std::vector<QImage>& images = set == GlyphSet::User && userGlyphs_ ? *userGlyphs_ : gutterGlyphs();
    if (index >= 0 && static_cast<std::size_t>(index) < images.size())
        painter_->drawImage(x, y, images[static_cast<std::size_t>(index)]);
}

QColor QtCanvas::toQColor(TColor color) const {
    if (isSystemColor(color) && palette_) {
        switch (color & 0xFF) {
        case COLOR_WINDOW:
            return palette_->color(QPalette::Base);
        case COLOR_WINDOWTEXT:
            return palette_->color(QPalette::Text);
        case COLOR_HIGHLIGHT:
            return palette_->color(QPalette::Highlight);
        case COLOR_HIGHLIGHTTEXT:
            return palette_->color(QPalette::HighlightedText);
        case COLOR_BTNFACE:
            return palette_->color(QPalette::Button);
        case COLOR_BTNTEXT:
            return palette_->color(QPalette::ButtonText);
        default:
            break;
        }
    }
    const TColor rgb = resolveSystemColor(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void QtCanvas::save() {
    saved_.push_back({font_, symbolFont_, metrics_, text_, back_});
    if (painter_)
        painter_->save();
}

void QtCanvas::restore() {
    if (saved_.empty())
        return;
    State& state = saved_.back();
    font_ = state.font;
    symbolFont_ = state.symbolFont;
    metrics_ = state.metrics;
    text_ = state.text;
    back_ = state.back;
    saved_.pop_back();
    if (painter_)
        painter_->restore();
}

} // namespace qorvi
