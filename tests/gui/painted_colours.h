#pragma once

// Checking the colours an editor control paints: the colour its settings
// give a character, and whether a grabbed image shows ink of it.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "platform/colors.h"

#include <QColor>
#include <QImage>
#include <cmath>
#include <cstdint>

namespace qorvi::test {

// The colour the control paints the character at `column` of `row` in.
inline QColor colourOf(const TRudivoVoru& ctl, int row, int column) {
    const TLine* line = ctl.TextStore().LineFromLineIndex(row).line;
    const std::uint8_t style = line->StyleAt(column);
    const TSM_Settings& s = ctl.Settings();
    int format = s.GetMapEntry(style);
    if (!s.GetFormatEntry(format).InUse)
        format = 0;
    const TFormatEntry& e = s.GetFormatEntry(format);
    const TColor c = resolveSystemColor(e.DefaultText ? ctl.def_TextColor : e.TextColor);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Whether some pixel of the cells [column, column + count) of `row` shows
// ink of `color` on the white background: text is antialiased, so a pixel
// is the colour blended with white, and its difference from white points
// the same way as the colour's.
inline bool cellsShow(const QImage& image, const TRudivoVoru& ctl, int row, int column, int count, QColor color) {
    const double cr = 255 - color.red(), cg = 255 - color.green(), cb = 255 - color.blue();
    const double cn = std::sqrt(cr * cr + cg * cg + cb * cb);
    const int x0 = ctl.LeftRefPoint() + column * ctl.CellWidth();
    const int y0 = row * ctl.GetLineHeight();
    for (int y = y0; y < y0 + ctl.GetLineHeight() && y < image.height(); ++y)
        for (int x = x0; x < x0 + count * ctl.CellWidth() && x < image.width(); ++x) {
            const QColor p(image.pixel(x, y));
            const double pr = 255 - p.red(), pg = 255 - p.green(), pb = 255 - p.blue();
            const double pn = std::sqrt(pr * pr + pg * pg + pb * pb);
            if (pn >= 0.5 * cn && (pr * cr + pg * cg + pb * cb) / (pn * cn) >= 0.995)
                return true;
        }
    return false;
}

} // namespace qorvi::test
