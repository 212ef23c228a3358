#include "editor/control/display_row.h"

#include "platform/text_encoding.h"

#include <algorithm>

namespace qorvi {

void DisplayRow::Clear() {
    text_ = {};
    styles_ = nullptr;
    chars_ = 0;
    charColumn_.clear();
    columnByte_.clear();
}

void DisplayRow::Expand(const TLine& row, const TTabColumns& columns, std::int32_t tabDefault, bool utf8) {
    chars_ = row.Len();
    columnByte_.clear();
    const std::uint8_t* srcStyles = row.ReadStyles(rowStyles_.data()) ? rowStyles_.data() : nullptr;
    if (utf8 && !isAscii(row.View())) {
        expandCells(row, srcStyles, columns, tabDefault);
        return;
    }
    if (!(row.Flags() & lfHasTab)) {
        text_ = row.View();
        styles_ = srcStyles;
        charColumn_.clear();
        return;
    }
    const char* src = row.Text();
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

void DisplayRow::expandCells(const TLine& row, const std::uint8_t* srcStyles, const TTabColumns& columns,
                             std::int32_t tabDefault) {
    const std::string_view src = row.View();
    expandedText_.clear();
    expandedStyles_.clear();
    bytes_.clear();
    charColumn_.resize(static_cast<std::size_t>(chars_) + 1);
    for (std::size_t i = 0; i < src.size();) {
        const auto column = static_cast<std::int32_t>(expandedText_.size());
        const std::uint8_t style = srcStyles ? srcStyles[i] : 0;
        if (src[i] == '\t') {
            charColumn_[i] = column;
            const std::int32_t stop = std::max(column + 1, nextTabStop(columns, tabDefault, column));
            for (std::int32_t c = column; c < stop; ++c) {
                columnByte_.push_back(static_cast<std::int32_t>(bytes_.size()));
                bytes_.push_back(' ');
            }
            expandedText_.append(static_cast<std::size_t>(stop - column), ' ');
            expandedStyles_.insert(expandedStyles_.end(), static_cast<std::size_t>(stop - column), style);
            ++i;
            continue;
        }
        const TextCluster cluster = nextCluster(src, i);
        for (std::size_t k = i; k < cluster.end; ++k)
            charColumn_[k] = column;
        for (int cell = 0; cell < cluster.cells; ++cell)
            columnByte_.push_back(static_cast<std::int32_t>(bytes_.size()));
        expandedText_.append(static_cast<std::size_t>(cluster.cells), src[i]);
        expandedStyles_.insert(expandedStyles_.end(), static_cast<std::size_t>(cluster.cells), style);
        bytes_.append(src.substr(i, cluster.end - i));
        i = cluster.end;
    }
    charColumn_[static_cast<std::size_t>(chars_)] = static_cast<std::int32_t>(expandedText_.size());
    columnByte_.push_back(static_cast<std::int32_t>(bytes_.size()));
    text_ = expandedText_;
    styles_ = srcStyles ? expandedStyles_.data() : nullptr;
}

std::int32_t DisplayRow::ByteOfColumn(std::int32_t column) const {
    if (columnByte_.empty())
        return std::clamp(column, 0, Columns());
    return columnByte_[static_cast<std::size_t>(std::clamp(column, 0, Columns()))];
}

std::int32_t DisplayRow::ClusterColumn(std::int32_t column) const {
    column = std::clamp(column, 0, Columns());
    if (columnByte_.empty())
        return column;
    while (column > 0 && columnByte_[static_cast<std::size_t>(column - 1)] ==
                             columnByte_[static_cast<std::size_t>(column)])
        --column;
    return column;
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
    // The last character starting at or before the column; the bytes of a
    // cluster share its column, so the first of them.
    auto it = std::upper_bound(charColumn_.begin(), charColumn_.end() - 1, column);
    auto index = static_cast<std::int32_t>(it - charColumn_.begin()) - 1;
    while (index > 0 && charColumn_[static_cast<std::size_t>(index - 1)] ==
                            charColumn_[static_cast<std::size_t>(index)])
        --index;
    return index;
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
