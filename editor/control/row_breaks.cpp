#include "editor/control/row_breaks.h"

#include "editor/text/line.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <string>

namespace qorvi {

std::int32_t DefaultWordBreakTest(const char* text, std::int32_t position, int kind, std::int32_t length) {
    if (!text || length <= 0)
        return kind == 2 ? 0 : position;
    position = std::clamp(position, 0, length);
    auto isBreak = [&](std::int32_t i) { return isWordBreakChar(static_cast<unsigned char>(text[i])); };
    switch (kind) {
    case 0:
        if (position == length)
            return position;
        if (isBreak(position)) {
            while (position < length && isBreak(position))
                ++position;
            return position;
        }
        for (std::int32_t i = position - 1; i >= 0; --i)
            if (isBreak(i))
                return i + 1;
        return position;
    case 1:
        while (position < length && !isBreak(position))
            ++position;
        while (position < length && isBreak(position))
            ++position;
        return position;
    case 2:
        return position < length && isBreak(position) ? 1 : 0;
    default:
        return position;
    }
}

namespace {

// How many characters from `start` fit in `width` pixels: the columns a row
// takes restart at 0, a TAB reaching the next tab stop.
std::int32_t fittingFixed(std::string_view line, std::size_t start, int width, const RowMeasure& m) {
    const TTabColumns& columns = *m.tabColumns;
    const std::int64_t cells = std::max(1, width / std::max(1, m.cellWidth));
    std::int64_t column = 0;
    std::size_t i = start;
    while (i < line.size()) {
        std::size_t end = i + 1;
        std::int64_t next = column + 1;
        if (line[i] == '\t') {
            next = std::max<std::int64_t>(column + 1,
                                          nextTabStop(columns, m.tabDefault, static_cast<std::int32_t>(column)));
        } else if (m.utf8 && static_cast<unsigned char>(line[i]) >= 0x80) {
            const TextCluster cluster = nextCluster(line, i);
            end = cluster.end;
            next = column + cluster.cells;
        }
        if (next > cells)
            break;
        column = next;
        i = end;
    }
    return static_cast<std::int32_t>(i - start);
}

std::int32_t fittingMeasured(std::string_view line, std::size_t start, int width, const RowMeasure& m) {
    // The taken part with TABs as blanks, measured five characters at a
    // time and then given back one at a time.
    std::string shown;
    std::vector<std::size_t> shownAfter; // shown length after each character
    auto take = [&](std::size_t i) {
        if (line[i] == '\t') {
            const auto column = static_cast<std::int32_t>(shown.size());
            const std::int32_t stop = std::max(column + 1, nextTabStop(*m.tabColumns, m.tabDefault, column));
            shown.append(static_cast<std::size_t>(stop - column), ' ');
        } else {
            shown.push_back(line[i]);
        }
        shownAfter.push_back(shown.size());
    };
    std::size_t i = start;
    while (i < line.size()) {
        const std::size_t before = shownAfter.size();
        for (int k = 0; k < 5 && i < line.size(); ++k, ++i)
            take(i);
        if (m.textWidth(shown) > width) {
            std::size_t n = shownAfter.size();
            while (n > before && m.textWidth(std::string_view(shown).substr(0, shownAfter[n - 1])) > width)
                --n;
            return static_cast<std::int32_t>(n);
        }
    }
    return static_cast<std::int32_t>(shownAfter.size());
}

} // namespace

std::vector<std::uint16_t> RowLengths(std::string_view line, bool wrap, int wrapWidth,
                                      const RowMeasure& measure, const TWordBreakProc& breakTest) {
    std::vector<std::uint16_t> rows;
    if (line.empty())
        return rows;
    const bool byWidth = wrap && measure.tabColumns && (measure.cellWidth > 0 || measure.textWidth);
    wrapWidth = std::max(wrapWidth, 8);
    for (std::size_t start = 0; start < line.size();) {
        const auto remaining = static_cast<std::int32_t>(line.size() - start);
        std::int32_t take = std::min(remaining, kMaxLineLen);
        if (byWidth) {
            const std::int32_t fit = measure.cellWidth > 0 ? fittingFixed(line, start, wrapWidth, measure)
                                                           : fittingMeasured(line, start, wrapWidth, measure);
            if (fit < remaining) {
                const char* text = line.data() + start;
                take = breakTest ? breakTest(text, fit, 0, remaining)
                                 : DefaultWordBreakTest(text, fit, 0, remaining);
                take = std::clamp(take, 1, std::min(remaining, kMaxLineLen));
            }
        }
        // A character's bytes stay on one row.
        while (measure.utf8 && take > 1 && static_cast<std::size_t>(take) < line.size() - start &&
               (static_cast<unsigned char>(line[start + static_cast<std::size_t>(take)]) & 0xC0) == 0x80)
            --take;
        rows.push_back(static_cast<std::uint16_t>(take));
        start += static_cast<std::size_t>(take);
    }
    return rows;
}

} // namespace qorvi
