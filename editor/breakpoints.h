#pragma once

// Breakpoints of a text store, and the single current-execution-line marker
// (TSM_CodeBreak). Both follow the text: the store forwards every change of
// the text to them through TextChanged, breakpoints first.

#include <cstdint>
#include <vector>

namespace qorvi {

class TSM_Breakpoints {
public:
    virtual ~TSM_Breakpoints() = default;

    // `delta` characters were inserted (positive) or removed (negative) at
    // `start`. The breakpoint list moves its entries here.
    virtual void TextChanged(std::int32_t start, std::int32_t delta);
};

class TSM_CodeBreak : public TSM_Breakpoints {};

} // namespace qorvi
