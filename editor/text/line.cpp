#include "editor/text/line.h"

#include <algorithm>
#include <cstring>

namespace qorvi {

std::size_t TLine::runBytes() const {
    if (!(lenBits_ & kRunsStored))
        return 0;
    const std::uint8_t* r = runs();
    std::size_t bytes = 0;
    for (int covered = 0; covered < Len(); bytes += 2)
        covered += r[bytes];
    return bytes;
}

std::uint8_t TLine::StyleAt(int at) const {
    if (!IsStyled() || at < 0 || at >= Len())
        return 0;
    const std::uint8_t* r = runs();
    for (int covered = 0;; r += 2) {
        covered += r[0];
        if (at < covered)
            return r[1];
    }
}

bool TLine::ReadStyles(std::uint8_t* out) const {
    if (!IsStyled())
        return false;
    const std::uint8_t* r = runs();
    for (int covered = 0; covered < Len(); r += 2) {
        std::memset(out + covered, r[1], r[0]);
        covered += r[0];
    }
    return true;
}

bool TLine::HasStyleRuns(const std::uint8_t* given, std::size_t bytes) const {
    if (!IsStyled())
        return false;
    // Both cover Len characters, so equal up to the end of either means equal.
    const std::uint8_t* r = runs();
    std::size_t i = 0;
    for (int covered = 0; covered < Len(); i += 2) {
        if (i + 1 >= bytes || r[i] != given[i] || r[i + 1] != given[i + 1])
            return false;
        covered += r[i];
    }
    return i == bytes;
}

bool TLine::HasStyles(const std::uint8_t* styles) const {
    if (!IsStyled())
        return false;
    const std::uint8_t* r = runs();
    for (int covered = 0; covered < Len(); r += 2) {
        // No early exit inside a run, so that the compiler compares it in
        // wide words.
        std::uint8_t differs = 0;
        for (int i = covered; i < covered + r[0]; ++i)
            differs |= static_cast<std::uint8_t>(styles[i] ^ r[1]);
        if (differs)
            return false;
        covered += r[0];
    }
    return true;
}

std::size_t EncodeStyleRuns(const std::uint8_t* styles, int len, std::uint8_t* out) {
    std::size_t bytes = 0;
    for (int i = 0; i < len;) {
        const std::uint8_t style = styles[i];
        int j = i + 1;
        const int limit = std::min(len, i + 255);
        while (j < limit && styles[j] == style)
            ++j;
        out[bytes++] = static_cast<std::uint8_t>(j - i);
        out[bytes++] = style;
        i = j;
    }
    return bytes;
}

} // namespace qorvi
