#include "gui/colour_button.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace qorvi {

namespace {

QColor toQColor(TColor c) {
    const TColor rgb = resolveSystemColor(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QIcon swatch(TColor c, const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(toQColor(c));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

} // namespace

ColourButton::ColourButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::InstantPopup);
    setIconSize(QSize(40, 14));
    auto* menu = new QMenu(this);
    static const TColor kBasic[] = {clBlack, clMaroon,  clGreen,  clOlive, clNavy, clPurple,
                                    clTeal,  clGray,    clSilver, clRed,   clLime, clYellow,
                                    clBlue,  clFuchsia, clAqua,   clWhite};
    for (TColor c : kBasic)
        menu->addAction(swatch(c, QSize(16, 16)), QString("#%1").arg(toQColor(c).name().mid(1).toUpper()),
                        this, [this, c] { choose(c); });
    menu->addSeparator();
    menu->addAction("Other...", this, [this] {
        const QColor picked = QColorDialog::getColor(toQColor(colour_), this);
        if (picked.isValid())
            choose(RGB(picked.red(), picked.green(), picked.blue()));
    });
    setMenu(menu);
    setColour(clBlack);
}

void ColourButton::setColour(TColor colour) {
    colour_ = colour;
    setIcon(swatch(colour, iconSize()));
}

void ColourButton::choose(TColor colour) {
    setColour(colour);
    emit colourChosen(colour);
}

} // namespace qorvi
