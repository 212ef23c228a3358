#pragma once

// The line index breakpoints need, answered from a text store's records:
// for a store without a control, and for tests.

#include "editor/marks/breakpoint_control.h"

namespace qorvi {

class TTextStore;

class StoreBreakpointLines : public BreakpointControl {
public:
    explicit StoreBreakpointLines(const TTextStore& store) : store_(store) {}
    std::int32_t lineStart(std::int32_t line) const override;
    std::int32_t lineOf(std::int32_t offset) const override;
    std::int32_t lineEnd(std::int32_t offset) const override;

private:
    const TTextStore& store_;
};

} // namespace qorvi
