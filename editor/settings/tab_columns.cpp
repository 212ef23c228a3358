#include "editor/settings/tab_columns.h"

#include "editor/support/rudivo_voru_error.h"

#include <algorithm>

namespace qorvi {

TTabColumns emptyTabColumns() {
    TTabColumns columns;
    columns.fill(-1);
    return columns;
}

void TextToTabColumns(std::string_view text, TTabColumns& columns) {
    TTabColumns parsed = emptyTabColumns();
    int count = 0;
    std::int64_t previous = 0;
    std::size_t i = 0;
    auto isSeparator = [](char c) { return c == ' ' || c == ';'; };
    for (;;) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        if (i >= text.size())
            break;
        if (text[i] < '0' || text[i] > '9')
            throw ERudivoVoru(kMsgTabColumnExpected);
        std::int64_t n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            // Saturate: anything this long is out of range anyway.
            n = std::min<std::int64_t>(n * 10 + (text[i] - '0'), 1'000'000);
            ++i;
        }
        if (i < text.size() && !isSeparator(text[i]))
            throw ERudivoVoru(kMsgTabColumnExpected);
        if (count == kTabStopCount)
            throw ERudivoVoru(kMsgTooManyTabStops);
        if (n <= 1)
            throw ERudivoVoru(kMsgTabColumnTooSmall);
        if (n <= previous)
            throw ERudivoVoru(kMsgTabColumnsOrder);
        if (n - 1 > kMaxTabColumn)
            throw ERudivoVoru(kMsgTabColumnTooLarge);
        parsed[static_cast<std::size_t>(count++)] = static_cast<std::int32_t>(n - 1);
        previous = n;
    }
    columns = parsed;
}

std::string TabColumnsAsText(const TTabColumns& columns) {
    std::string text;
    for (std::int32_t c : columns) {
        if (c == -1)
            break;
        if (!text.empty())
            text.push_back(' ');
        text += std::to_string(c + 1);
    }
    return text;
}

std::int32_t nextTabStop(const TTabColumns& columns, std::int32_t tabDefault, std::int32_t column) {
    for (std::int32_t c : columns) {
        if (c == -1)
            break;
        if (c > column)
            return c;
    }
    const std::int32_t width = isValidTabWidth(tabDefault) ? tabDefault : 4;
    return column + width - (column % width);
}

} // namespace qorvi
