#pragma once

// The caret of one control as one-based lines (rows) and columns: the
// column as a character position in the row or as a display column (tabs
// expanded), the first visible line and column, and the caret-after-end-
// of-line state. At the end of a text that ends with a line break the caret
// is on the empty line after it, at column 1. Setting clamps the column to
// the row's last position and a line past the last to the end of the text;
// a display column beyond a line's end puts the caret there virtually when
// the control allows it (smoCaretAfterEOL with a fixed-pitch font).

#include <cstdint>

namespace qorvi {

class TCustomRudivoVoru;

class TSM_CaretControl {
public:
    struct TPoint {
        std::int32_t x = 0; // column
        std::int32_t y = 0; // line
        bool operator==(const TPoint&) const = default;
    };

    explicit TSM_CaretControl(TCustomRudivoVoru& control) : control_(control) {}

    std::int32_t GetOffsetColumn() const;
    void SetOffsetColumn(std::int32_t column);
    std::int32_t GetVisibleColumn() const;
    void SetVisibleColumn(std::int32_t column);
    std::int32_t GetVisibleRow() const;
    void SetVisibleRow(std::int32_t row);
    TPoint GetOffsetLocation() const { return {GetOffsetColumn(), GetVisibleRow()}; }
    void SetOffsetLocation(const TPoint& p);
    TPoint GetVisibleLocation() const { return {GetVisibleColumn(), GetVisibleRow()}; }
    void SetVisibleLocation(const TPoint& p);
    std::int32_t GetTopLine() const;
    void SetTopLine(std::int32_t line);
    std::int32_t GetLeftIndent() const;
    void SetLeftIndent(std::int32_t column);
    bool GetCaretAfterEOL() const;
    void SetCaretAfterEOL(bool on);
    // One byte per character.
    std::int32_t GetByteOffsetFromCharOffset(std::int32_t offset) const { return offset; }
    std::int32_t GetCharOffsetFromByteOffset(std::int32_t offset) const { return offset; }
    std::int32_t CharDistanceFromByteDistance(std::int32_t distance) const { return distance; }
    // Whether row `line` continues in the next row (word wrap, or a line
    // longer than a row holds).
    bool IsLineWrapped(std::int32_t line) const;

private:
    TCustomRudivoVoru& control_;
};

} // namespace qorvi
