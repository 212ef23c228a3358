#pragma once

// The display styles of a language: 256 format entries (font style, text
// and background colour, their as-default marks, the hot-spot mark), the
// entries the user may edit by name, and the font style bits they use.

#include "platform/colors.h"

#include <cstdint>
#include <string>

namespace qorvi {

// Font style bits of a format entry and of fonts in streams.
enum TFontStyleBit : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

struct TFormatEntry {
    std::uint8_t Style = 0; // TFontStyleBit set
    TColor TextColor = clBlack;
    TColor BackColor = clWhite;
    std::uint8_t DefaultText = 0; // take the default text colour instead
    std::uint8_t DefaultBack = 0; // take the default background instead
    std::uint8_t HotSpot = 0;     // a hyperlink style
    std::int32_t InUse = 0;       // non-zero: defined

    bool operator==(const TFormatEntry&) const = default;
};

// A style the user may edit by name; an empty name marks a free slot. The
// name is held whole whatever its length.
struct TEditableEntry {
    std::string Name;
    std::uint16_t Value16 = 0;
    std::uint8_t Value = 0;

    bool operator==(const TEditableEntry&) const = default;
};

// A font as the settings keep it: name, size in points (a negative size is
// a pixel height), character set, colour and style bits.
struct TFontSpec {
    std::string Name;
    std::int32_t Size = 10;
    std::uint8_t CharSet = 1; // DEFAULT_CHARSET
    TColor Color = clWindowText;
    std::uint8_t Style = 0;

    bool operator==(const TFontSpec&) const = default;
};

} // namespace qorvi
