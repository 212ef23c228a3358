#include "platform/qt/gutter_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace qorvi {
namespace {

constexpr int kWidth = 15;
constexpr int kHeight = 16;

QImage blank() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage bookmark(int number) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1E, 0x5A, 0xC8));
    p.setPen(QColor(0x10, 0x30, 0x80));
    p.drawRoundedRect(QRectF(1.5, 1.5, 12, 13), 2, 2);
    p.setPen(Qt::white);
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(1, 1, 13, 14), Qt::AlignCenter, number < 0 ? QString("*") : QString::number(number));
    return image;
}

QImage dot(QColor fill, QColor outline, bool hollow) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(outline, 1.5));
    p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(fill));
    p.drawEllipse(QRectF(2, 2.5, 11, 11));
    return image;
}

QImage arrow(QColor fill) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1, 5);
    path.lineTo(7, 5);
    path.lineTo(7, 1.5);
    path.lineTo(14, 8);
    path.lineTo(7, 14.5);
    path.lineTo(7, 11);
    path.lineTo(1, 11);
    path.closeSubpath();
    p.setPen(QColor(0x60, 0x50, 0x00));
    p.setBrush(fill);
    p.drawPath(path);
    return image;
}

QImage diamond(QColor fill) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(7.5, 2);
    path.lineTo(13, 8);
    path.lineTo(7.5, 14);
    path.lineTo(2, 8);
    path.closeSubpath();
    p.setPen(fill.darker());
    p.setBrush(fill);
    p.drawPath(path);
    return image;
}

QImage wrapped() {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x40, 0x40, 0x40), 1.5);
    p.setPen(pen);
    QPainterPath path;
    path.moveTo(12, 3);
    path.lineTo(12, 10);
    path.lineTo(4, 10);
    p.drawPath(path);
    p.drawLine(QPointF(4, 10), QPointF(7, 7));
    p.drawLine(QPointF(4, 10), QPointF(7, 13));
    return image;
}

} // namespace

const std::vector<QImage>& gutterGlyphs() {
    static const std::vector<QImage> glyphs = [] {
        std::vector<QImage> list;
        for (int i = 0; i < 10; ++i)
            list.push_back(bookmark(i));
        list.push_back(bookmark(-1));
        list.push_back(dot(QColor(0xE0, 0x20, 0x20), QColor(0x90, 0x10, 0x10), false));
        list.push_back(dot(QColor(0xE0, 0x20, 0x20), QColor(0x90, 0x10, 0x10), true));
        list.push_back(arrow(QColor(0xF0, 0xD0, 0x30)));
        list.push_back(diamond(QColor(0x30, 0xA0, 0x30)));
        list.push_back(diamond(QColor(0xA0, 0x60, 0xC0)));
        return list;
    }();
    return glyphs;
}

const QImage& wrappedRowGlyph() {
    static const QImage image = wrapped();
    return image;
}

} // namespace qorvi
