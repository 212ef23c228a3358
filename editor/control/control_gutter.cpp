// The gutter: per row, the highest mark of the row (a numbered bookmark, or
// the wrapped-row glyph of a continuation row), a breakpoint or code-break
// glyph, the highest user glyph, and on the first row of an unmarked line
// its line number in the gutter font.

#include "editor/control/control_row_paint.h"
#include "editor/settings/editor_settings.h"

#include <bit>
#include <string>

namespace qorvi {
namespace {

constexpr int kGlyphHeight = 16;

int highestBit(std::uint32_t bits) {
    return bits ? 31 - std::countl_zero(bits) : -1;
}

} // namespace

void TCustomRudivoVoru::paintGutter(Canvas& c, TLine* row, int y, std::int32_t lineNumber, int breakGlyph,
                                    RowPaint& p) {
    const int gutter = settings_->Gutter();
    c.fillRect({0, y, gutter, y + p.lineHeight}, gutterBrush());
    if (gutter > 9)
        c.line(gutter - 2, y, gutter - 2, y + p.lineHeight, CanvasPen{clWhite, 1, PenStyle::Solid, false});
    if (!row)
        return;
    const int glyphY = y + (p.lineHeight > kGlyphHeight ? (p.lineHeight - kGlyphHeight) / 2 : 0);
    std::uint32_t marks = row->MarkBits();
    if (!settings_->HasOption(smoShowWrapGlyph))
        marks &= ~std::uint32_t{kContinuationMark};
    bool drawn = false;
    if (const int bit = highestBit(marks & 0xFFFF); bit >= 0) {
        if (bit == 12)
            c.drawGlyph(GlyphSet::Wrapped, 0, 1, glyphY);
        else
            c.drawGlyph(GlyphSet::Gutter, bit, 1, glyphY);
        drawn = true;
    }
    if (breakGlyph >= 0 && breakGlyph < 16)
        c.drawGlyph(GlyphSet::Gutter, breakGlyph, drawn ? 5 : 1, glyphY);
    const std::uint16_t user = row->HasExtras() ? store_->Glyphs(row) : 0;
    if (const int bit = highestBit(user); bit >= 0 && bit < userGlyphs_)
        c.drawGlyph(GlyphSet::User, bit, 17, glyphY);
    if (!settings_->HasOption(smoLineNumbers) || row->IsContinuation() || row->MarkBits() != 0 || user != 0)
        return;
    std::string number = std::to_string(lineNumber);
    if (number.size() > 7)
        number.erase(0, number.size() - 7);
    const TFontSpec& font = settings_->GutterFont();
    c.setFont(TSM_Settings::MakeFont(font.Name.empty() ? "MS Sans Serif" : font.Name, font.Size, font.Style,
                                     c, font.CharSet));
    c.setTextColor(font.Color);
    const int numberY = y + (p.lineHeight >= 9 ? (p.lineHeight - 8) / 2 : 0);
    c.drawText(2, numberY, {0, y, std::max(0, gutter - 2), y + p.lineHeight}, number, false);
    // The run state no longer matches the canvas.
    p.font = -1;
    p.colorsSet = false;
}

} // namespace qorvi
