#pragma once

// Explicit tab columns: up to 32 columns, kept 0-based and strictly rising,
// the free entries -1. Text shows them 1-based ("5 9 13"); the default tab
// width takes over after the last one.
//
// Columns and widths are bounded (kMaxTabColumn) whatever their source, so
// that tab expansion never divides by zero and a display row never grows
// without limit.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

inline constexpr int kTabStopCount = 32;
// The largest tab column (0-based) and the largest default tab width.
inline constexpr int kMaxTabColumn = 4096;

using TTabColumns = std::array<std::int32_t, kTabStopCount>;

inline constexpr const char* kMsgTabColumnExpected = "Tab stop column value expected";
inline constexpr const char* kMsgTooManyTabStops = "Too many tab stops - maximum of 32";
inline constexpr const char* kMsgTabColumnsOrder = "Tab columns must be in order and unique";
inline constexpr const char* kMsgTabColumnTooSmall = "Tab column must be > 1";
inline constexpr const char* kMsgTabColumnTooLarge = "Tab column must be at most 4097";
inline constexpr const char* kMsgIllegalTabDefault = "=Illegal default tab stop value, must be > 0";
inline constexpr const char* kMsgTabDefaultTooLarge = "Illegal default tab stop value, must be at most 4096";

TTabColumns emptyTabColumns();

// Parses decimal numbers separated by blanks or semicolons. Raises
// ERudivoVoru for a non-digit where a number should start, a 33rd number, a
// number not above the previous one, a number of 1 or less and a number
// above 4097 (a column beyond kMaxTabColumn). Each n is stored as n - 1.
void TextToTabColumns(std::string_view text, TTabColumns& columns);
// The stored columns + 1, separated by single blanks, up to the first -1.
std::string TabColumnsAsText(const TTabColumns& columns);

// Whether a column may be stored (1 ... kMaxTabColumn) and a default tab
// width used (1 ... kMaxTabColumn).
constexpr bool isValidTabColumn(std::int32_t column) {
    return column >= 1 && column <= kMaxTabColumn;
}
constexpr bool isValidTabWidth(std::int32_t width) {
    return width >= 1 && width <= kMaxTabColumn;
}

// The first explicit column after `column`; past the last one, the next
// multiple of `tabDefault` (taken as 4 when it is out of range).
std::int32_t nextTabStop(const TTabColumns& columns, std::int32_t tabDefault, std::int32_t column);

} // namespace qorvi
