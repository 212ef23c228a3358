#include "gui/shell_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace qorvi {

namespace {

const QColor kInk(0x30, 0x30, 0x30);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kFolder(0xE8, 0xC0, 0x50);
const QColor kBlue(0x30, 0x60, 0xB0);

QPixmap blank() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

void page(QPainter& g, QRectF r, const QColor& fill) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    g.setPen(QPen(kInk, 1));
    g.setBrush(fill);
    g.drawPath(path);
}

void folder(QPainter& g, const QColor& fill) {
    g.setPen(QPen(kInk, 1));
    g.setBrush(fill);
    g.drawRect(QRectF(1.5, 4.5, 13, 9));
    g.drawRect(QRectF(1.5, 2.5, 5, 2));
}

void textLines(QPainter& g, const QColor& c) {
    g.setPen(QPen(c, 1));
    for (int y = 6; y <= 12; y += 2)
        g.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
}

QPixmap picture(int kind) {
    QPixmap p = blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case 0: // folder
        folder(g, kFolder);
        break;
    case 1: // registered file
        page(g, QRectF(2.5, 1.5, 11, 13), kPaper);
        textLines(g, kBlue);
        break;
    case 2: // read-only file
        page(g, QRectF(2.5, 1.5, 11, 13), QColor(0xE0, 0xE0, 0xE0));
        textLines(g, kInk);
        g.setPen(QPen(QColor(0xB0, 0x20, 0x20), 1.5));
        g.drawRect(QRectF(8.5, 9.5, 5, 4));
        break;
    case 3: { // parent directory
        folder(g, kFolder);
        g.setPen(QPen(kInk, 1.5));
        g.drawLine(QPointF(8, 12), QPointF(8, 6));
        g.drawLine(QPointF(8, 6), QPointF(5.5, 8.5));
        g.drawLine(QPointF(8, 6), QPointF(10.5, 8.5));
        break;
    }
    case 4: // unregistered file
        page(g, QRectF(2.5, 1.5, 11, 13), kPaper);
        g.setPen(QPen(kInk, 1));
        g.drawText(QRectF(2, 3, 12, 12), Qt::AlignCenter, "?");
        break;
    case 9: // link
        page(g, QRectF(2.5, 1.5, 11, 13), kPaper);
        g.setPen(QPen(kBlue, 1.5));
        g.drawLine(QPointF(5, 11), QPointF(10, 6));
        g.drawLine(QPointF(10, 6), QPointF(7, 6));
        g.drawLine(QPointF(10, 6), QPointF(10, 9));
        break;
    default: // spare entries of the list
        page(g, QRectF(2.5, 1.5, 11, 13), kPaper);
        break;
    }
    return p;
}

QPixmap toolPicture(Command id) {
    QPixmap p = blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kInk, 1));
    auto window = [&](QRectF r) {
        g.setBrush(kPaper);
        g.drawRect(r);
        g.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 0.5, 2), kBlue);
    };
    auto disk = [&](QRectF r) {
        g.setBrush(kBlue);
        g.drawRect(r);
        g.fillRect(QRectF(r.left() + 2, r.top() + 1, r.width() - 4, r.height() / 3), kPaper);
    };
    switch (id) {
    case Command::New:
        page(g, QRectF(2.5, 1.5, 11, 13), kPaper);
        break;
    case Command::Open:
        folder(g, kFolder);
        break;
    case Command::Save:
        disk(QRectF(2.5, 2.5, 11, 11));
        break;
    case Command::SaveAll:
        disk(QRectF(4.5, 1.5, 10, 10));
        disk(QRectF(1.5, 4.5, 10, 10));
        break;
    case Command::Print:
        g.setBrush(QColor(0xC0, 0xC0, 0xC0));
        g.drawRect(QRectF(1.5, 6.5, 13, 6));
        g.setBrush(kPaper);
        g.drawRect(QRectF(4.5, 1.5, 7, 5));
        g.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case Command::Undo:
    case Command::Redo: {
        // A curved arrow: back to the left for Undo, on to the right for Redo.
        const bool back = id == Command::Undo;
        g.setPen(QPen(kBlue, 1.8));
        g.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(back ? 4 : 12, 6);
        arc.cubicTo(back ? 10 : 6, 2, back ? 16 : 0, 9, back ? 9 : 7, 13);
        g.drawPath(arc);
        g.setBrush(kBlue);
        QPolygonF head;
        head << QPointF(back ? 1.5 : 14.5, 6) << QPointF(back ? 6 : 10, 2.5) << QPointF(back ? 6 : 10, 9);
        g.drawPolygon(head);
        break;
    }
    case Command::Cut:
        g.setPen(QPen(kInk, 1.5));
        g.drawLine(QPointF(4, 2), QPointF(11, 11));
        g.drawLine(QPointF(12, 2), QPointF(5, 11));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QRectF(2, 10, 4, 4));
        g.drawEllipse(QRectF(10, 10, 4, 4));
        break;
    case Command::Copy:
        page(g, QRectF(1.5, 1.5, 8, 10), kPaper);
        page(g, QRectF(6.5, 4.5, 8, 10), kPaper);
        break;
    case Command::Paste:
        g.setBrush(kFolder);
        g.drawRect(QRectF(2.5, 2.5, 10, 12));
        page(g, QRectF(6.5, 5.5, 8, 9), kPaper);
        break;
    case Command::Search:
        g.setPen(QPen(kInk, 1.5));
        g.setBrush(kPaper);
        g.drawEllipse(QRectF(2, 2, 8, 8));
        g.drawLine(QPointF(9, 9), QPointF(14, 14));
        break;
    case Command::Cascade:
        window(QRectF(1.5, 1.5, 9, 7));
        window(QRectF(5.5, 7.5, 9, 7));
        break;
    case Command::TileHorizontally:
        window(QRectF(1.5, 1.5, 13, 6));
        window(QRectF(1.5, 8.5, 13, 6));
        break;
    case Command::TileVertically:
        window(QRectF(1.5, 1.5, 6, 13));
        window(QRectF(8.5, 1.5, 6, 13));
        break;
    default:
        return {};
    }
    return p;
}

} // namespace

namespace {

// A page with coloured lines of code and a folded corner, drawn at `size`.
QPixmap programPicture(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(size / 64.0, size / 64.0);
    QPainterPath sheet;
    sheet.moveTo(10, 4);
    sheet.lineTo(42, 4);
    sheet.lineTo(56, 18);
    sheet.lineTo(56, 60);
    sheet.lineTo(10, 60);
    sheet.closeSubpath();
    g.setPen(QPen(QColor(0x28, 0x3A, 0x5A), 3));
    g.setBrush(kPaper);
    g.drawPath(sheet);
    g.setBrush(QColor(0xC8, 0xD4, 0xE8));
    g.drawPolygon(QPolygonF() << QPointF(42, 4) << QPointF(42, 18) << QPointF(56, 18));
    const QColor ink[] = {QColor(0x1A, 0x4F, 0xB0), QColor(0x2E, 0x8B, 0x3A), QColor(0xB0, 0x30, 0x30),
                          QColor(0x80, 0x40, 0xA0), QColor(0x1A, 0x4F, 0xB0)};
    const qreal starts[] = {16, 22, 22, 16, 22};
    const qreal ends[] = {34, 48, 42, 44, 36};
    for (int i = 0; i < 5; ++i) {
        g.setPen(QPen(ink[i], 4, Qt::SolidLine, Qt::RoundCap));
        const qreal y = 26 + i * 7;
        g.drawLine(QPointF(starts[i], y), QPointF(ends[i], y));
    }
    return p;
}

} // namespace

QIcon programIcon() {
    // The installed theme icon when there is one (so the window, the menu
    // and the task bar agree), else the same design drawn here.
    QIcon drawn;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        drawn.addPixmap(programPicture(size));
    return QIcon::fromTheme(kProgramIconName, drawn);
}

QIcon commandIcon(Command id) {
    QPixmap p = toolPicture(id);
    return p.isNull() ? QIcon() : QIcon(p);
}

const std::vector<QPixmap>& fileIcons() {
    static const std::vector<QPixmap> icons = [] {
        std::vector<QPixmap> v;
        for (int i = 0; i < 10; ++i)
            v.push_back(picture(i));
        return v;
    }();
    return icons;
}

std::vector<QImage> documentGlyphs() {
    // Glyph n is image n - 1 (the mask's bit n - 1). Glyph 1: a boxed plus,
    // "click to expand".
    QImage plus(15, 16, QImage::Format_ARGB32_Premultiplied);
    plus.fill(Qt::transparent);
    QPainter g(&plus);
    g.setPen(QPen(kInk, 1));
    g.setBrush(kPaper);
    g.drawRect(QRect(2, 3, 10, 10));
    g.drawLine(4, 8, 10, 8);
    g.drawLine(7, 5, 7, 11);
    g.end();
    return {plus};
}

} // namespace qorvi
