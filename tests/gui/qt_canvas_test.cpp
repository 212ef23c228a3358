// The Qt canvas on an image: substituted fonts, pixel heights, one character
// per cell for fixed-pitch rows, the Windows-1252 text table, opaque runs
// and glyph images.

#include "platform/qt/qt_canvas.h"
#include "tests/gui/test_application.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

// The leftmost column of `image` holding a dark pixel at or after x.
int firstInk(const QImage& image, int from) {
    for (int x = from; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

} // namespace

TEST(QtCanvas, StoredFontNamesAreDrawnWithThePlatformsFontsAtPixelHeights) {
    app();
    QImage image(100, 40, QImage::Format_RGB32);
    QtCanvas canvas(&image);
    const FontMetrics m = canvas.setFont(CanvasFont{"Courier New", -13});
    EXPECT_EQ(QFontInfo(canvas.currentFont()).family(), "Liberation Mono");
    EXPECT_EQ(canvas.currentFont().pixelSize(), 13);
    EXPECT_GE(m.height, 13);
    EXPECT_GT(m.averageWidth, 0);
    // Fixed pitch: "i" and "W" equally wide.
    EXPECT_EQ(canvas.textWidth("i"), canvas.textWidth("W"));
    canvas.setFont(CanvasFont{"MS Sans Serif", -11, 700});
    EXPECT_EQ(QFontInfo(canvas.currentFont()).family(), "DejaVu Sans");
    EXPECT_TRUE(canvas.currentFont().bold());
    EXPECT_NE(canvas.textWidth("i"), canvas.textWidth("W"));
    canvas.setFont(CanvasFont{"Arial", -12});
    EXPECT_EQ(QFontInfo(canvas.currentFont()).family(), "Liberation Sans");
    EXPECT_EQ(substituteFontFamily("Courier New"), "Liberation Mono");
}

TEST(QtCanvas, FixedPitchRunsPutEachCharacterInItsCell) {
    app();
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.setFont(CanvasFont{"Courier New", -16});
        canvas.setTextColor(clBlack);
        canvas.setBackColor(clWhite);
        const int cells[] = {20, 20, 20};
        canvas.drawText(10, 2, {10, 0, 70, 30}, "lll", true, cells);
    }
    // Each 'l' starts 20 pixels after the one before.
    const int a = firstInk(image, 10);
    const int b = firstInk(image, a + 10);
    const int c = firstInk(image, b + 10);
    ASSERT_GT(a, 0);
    EXPECT_NEAR(b - a, 20, 1);
    EXPECT_NEAR(c - b, 20, 1);
}

TEST(QtCanvas, OpaqueRunsFillTheirClipAndTextPassesTheCodePageTable) {
    app();
    QImage image(120, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.setFont(CanvasFont{"Courier New", -16});
        canvas.setBackColor(RGB(0, 0, 128));
        canvas.setTextColor(clWhite);
        canvas.drawText(0, 0, {0, 0, 60, 20}, "\x80", true, nullptr);
        canvas.fillRect({60, 0, 120, 20}, clYellow);
        canvas.drawGlyph(GlyphSet::Gutter, 11, 100, 5);
    }
    EXPECT_EQ(QColor(image.pixel(50, 10)), QColor(0, 0, 128));
    EXPECT_EQ(QColor(image.pixel(70, 10)), QColor(255, 255, 0));
    EXPECT_EQ(QColor(image.pixel(70, 25)), QColor(Qt::white));
    // Byte 0x80 is the euro sign of Windows-1252.
    QImage ours(30, 24, QImage::Format_RGB32);
    QImage euro(30, 24, QImage::Format_RGB32);
    ours.fill(Qt::white);
    euro.fill(Qt::white);
    QFont font;
    {
        QPainter painter(&ours);
        QtCanvas canvas(painter);
        canvas.setFont(CanvasFont{"Courier New", -16});
        font = canvas.currentFont();
        canvas.setTextColor(clBlack);
        canvas.drawText(2, 2, {0, 0, 30, 24}, "\x80", false, nullptr);
    }
    {
        QPainter painter(&euro);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(2, 2 + QFontMetricsF(font).ascent()), QString(QChar(0x20AC)));
    }
    EXPECT_EQ(ours, euro);
    EXPECT_GT(firstInk(ours, 0), 0);
    // The enabled-breakpoint glyph is red.
    const QColor dot(image.pixel(107, 13));
    EXPECT_GT(dot.red(), 150);
    EXPECT_LT(dot.green(), 100);
}

TEST(QtCanvas, SystemColoursFollowThePalette) {
    app();
    QImage image(10, 10, QImage::Format_RGB32);
    QtCanvas canvas(&image);
    QPalette palette;
    palette.setColor(QPalette::Highlight, QColor(1, 2, 3));
    canvas.setPalette(palette);
    EXPECT_EQ(canvas.toQColor(clHighlight), QColor(1, 2, 3));
    EXPECT_EQ(canvas.toQColor(RGB(10, 20, 30)), QColor(10, 20, 30));
}
