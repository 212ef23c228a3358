#pragma once

// The images the gutter draws (15 x 16 pixels, transparent background):
// numbered bookmarks 0-9, a plain mark, the enabled and disabled breakpoint,
// the code-break arrow, two spare marks, and the wrapped-row glyph.

#include <QImage>
#include <vector>

namespace qorvi {

inline constexpr int kGutterGlyphCount = 16;

const std::vector<QImage>& gutterGlyphs();
const QImage& wrappedRowGlyph();

} // namespace qorvi
