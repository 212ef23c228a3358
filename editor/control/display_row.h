#pragma once

// A row as the painter shows it (ExpandTabs): each TAB becomes blanks up to
// the next tab stop, all carrying the TAB's style byte and standing for the
// TAB's character; other characters take one column each. A row without a
// TAB is shown straight from the record, without copying.
//
// In a UTF-8 document a row holding bytes beyond ASCII is laid out in
// cells: each grapheme cluster takes the cells of its first character (two
// for wide characters and emoji, two for an invalid byte's hex box, else
// one), and every byte of it maps to its first column. Text() then holds one
// stand-in byte per column (the cluster's first byte), so that column logic
// reads it as before; the painter draws Bytes() through ByteOfColumn().
//
// Tab stops are bounded (tab_columns.h), so a row of 2047 characters never
// expands past 2047 x 4096 columns.

#include "editor/settings/tab_columns.h"
#include "editor/text/line.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class DisplayRow {
public:
    // Expands `row`; with tabs the columns follow `columns` and `tabDefault`.
    void Expand(const TLine& row, const TTabColumns& columns, std::int32_t tabDefault, bool utf8 = false);
    // True when the row is laid out in UTF-8 cells.
    bool Cells() const { return !columnByte_.empty(); }
    // The row's bytes with tabs expanded (cells layout only).
    std::string_view Bytes() const { return bytes_; }
    // The first byte of the cluster shown at `column` (0 ... Columns()).
    std::int32_t ByteOfColumn(std::int32_t column) const;
    // The first column of the cluster shown at `column`.
    std::int32_t ClusterColumn(std::int32_t column) const;
    // An empty row (past the end of the text).
    void Clear();

    std::string_view Text() const { return text_; }
    // One style byte per display column, or null when the row has none.
    const std::uint8_t* Styles() const { return styles_; }
    std::int32_t Columns() const { return static_cast<std::int32_t>(text_.size()); }
    std::int32_t Chars() const { return chars_; }
    bool Expanded() const { return !charColumn_.empty(); }

    // The display column of character `offset` (0 ... Chars(); the end
    // gives Columns()).
    std::int32_t ColumnOfChar(std::int32_t offset) const;
    // The character shown at display `column` (a blank of a TAB gives the
    // TAB); Chars() past the end.
    std::int32_t CharAtColumn(std::int32_t column) const;
    // The first character whose column reaches `column`; Chars() past the
    // end.
    std::int32_t FirstCharFrom(std::int32_t column) const;

private:
    void expandCells(const TLine& row, const std::uint8_t* srcStyles, const TTabColumns& columns,
                     std::int32_t tabDefault);

    std::string_view text_;
    const std::uint8_t* styles_ = nullptr;
    std::int32_t chars_ = 0;
    std::string expandedText_;
    std::vector<std::uint8_t> expandedStyles_;
    std::array<std::uint8_t, kMaxLineLen> rowStyles_; // the record's styles, expanded from runs
    std::vector<std::int32_t> charColumn_; // per character, then the end; empty when shown straight
    std::string bytes_;
    std::vector<std::int32_t> columnByte_; // per column, then the end; empty unless in cells
};

} // namespace qorvi
