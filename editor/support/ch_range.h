#pragma once

// A pair of character offsets. As the control's selection, chStart is the
// anchor and chEnd the caret, so the caret may lie before the anchor;
// Normalise orders the pair when a range is needed.

#include <algorithm>
#include <cstdint>

namespace qorvi {

struct TChRange {
    std::int32_t chStart = 0;
    std::int32_t chEnd = 0;

    void Normalise() {
        if (chStart > chEnd)
            std::swap(chStart, chEnd);
    }
    TChRange Normalised() const {
        TChRange r = *this;
        r.Normalise();
        return r;
    }
    bool Empty() const { return chStart == chEnd; }
    bool operator==(const TChRange&) const = default;
};

} // namespace qorvi
