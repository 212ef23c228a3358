#include "editor/control/display_row.h"

#include <algorithm>

namespace qorvi {

void DisplayRow::Clear() {
    text_ = {};
    styles_ = nullptr;
    chars_ = 0;
    charColumn_.clear();
}

void DisplayRow::Expand(const TLine& row, const TTabColumns& columns, std::int32_t tabDefault) {
    chars_ = row.Len();
    if (!(row.Flags() & lfHasTab)) {
        text_ = row.View();
        styles_ = row.Styles();
        charColumn_.clear();
        return;
    }
    const char* src = row.Text();
    const std::uint8_t* srcStyles = row.Styles();
    expandedText_.clear();
    expandedStyles_.clear();
    charColumn_.resize(static_cast<std::size_t>(chars_) + 1);
    for (std::int32_t i = 0; i < chars_; ++i) {
        const std::int32_t column = static_cast<std::int32_t>(expandedText_.size());
        charColumn_[static_cast<std::size_t>(i)] = column;
        const std::uint8_t style = srcStyles ? srcStyles[i] : 0;
        if (src[i] == '\t') {
            const std::int32_t stop = std::max(column + 1, nextTabStop(columns, tabDefault, column));
            expandedText_.append(static_cast<std::size_t>(stop - column), ' ');
            expandedStyles_.insert(expandedStyles_.end(), static_cast<std::size_t>(stop - column), style);
        } else {
            expandedText_.push_back(src[i]);
            expandedStyles_.push_back(style);
        }
    }
    charColumn_[static_cast<std::size_t>(chars_)] = static_cast<std::int32_t>(expandedText_.size());
    text_ = expandedText_;
    styles_ = srcStyles ? expandedStyles_.data() : nullptr;
}

std::int32_t DisplayRow::ColumnOfChar(std::int32_t offset) const {
    offset = std::clamp(offset, 0, chars_);
    return charColumn_.empty() ? offset : charColumn_[static_cast<std::size_t>(offset)];
}

std::int32_t DisplayRow::CharAtColumn(std::int32_t column) const {
    if (column < 0)
        return 0;
    if (charColumn_.empty())
        return std::min(column, chars_);
    if (column >= Columns())
        return chars_;
    // The last character starting at or before the column.
    auto it = std::upper_bound(charColumn_.begin(), charColumn_.end() - 1, column);
    return static_cast<std::int32_t>(it - charColumn_.begin()) - 1;
}

std::int32_t DisplayRow::FirstCharFrom(std::int32_t column) const {
    if (column <= 0)
        return 0;
    if (charColumn_.empty())
        return std::min(column, chars_);
    auto it = std::lower_bound(charColumn_.begin(), charColumn_.end() - 1, column);
    return static_cast<std::int32_t>(it - charColumn_.begin());
}

} // namespace qorvi
