#pragma once

// The editor options as bits of the settings' 32-bit option word. The word
// travels in settings streams and parser images, so the bits are fixed.

#include <cstdint>

namespace qorvi {

enum TRudivoVoruOption : std::uint32_t {
    smoLineNumbers = 0x00000001,
    smoSyntaxHighlight = 0x00000010,
    smoPrintWrap = 0x00000020,
    smoPrintLineNos = 0x00000040,
    smoPrintFilename = 0x00000080,
    smoPrintDate = 0x00000100,
    smoPrintPageNos = 0x00000200,
    smoWordWrap = 0x00000400,
    smoAutoIndent = 0x00000800,
    smoTabToColumn = 0x00001000,
    smoWrapOverride = 0x00002000,
    smoWordSelect = 0x00004000,
    smoShowRMargin = 0x00008000,
    smoShowGutter = 0x00010000,
    smoShowWrapColumn = 0x00020000,
    smoTitleAsFilename = 0x00040000,
    smoProcessDroppedFiles = 0x00080000,
    smoBlockOverwriteCursor = 0x00100000,
    smoShowWrapGlyph = 0x00200000,
    smoColumnTrack = 0x00400000,
    smoUseTAB = 0x00800000,
    smoSmartFill = 0x01000000,
    smoOLEDragSource = 0x02000000,
    smoShowAllChars = 0x04000000,
    smoCaretAfterEOL = 0x08000000,
};

// Everything on but word wrap, wrap override, line numbers, show-all-chars
// and caret after end of line.
inline constexpr std::uint32_t kDefaultOptions = 0x03FFDBF0;

} // namespace qorvi
