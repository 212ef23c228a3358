#pragma once

// What breakpoints need from the editor control that shows them: its line
// index (the start offset of a line, the line of an offset, where a line
// ends) and a repaint. Line numbers here are one-based. The control answers
// with its own rows; a store without a control answers from its records
// (store_breakpoint_lines.h).

#include <cstdint>

namespace qorvi {

class BreakpointControl {
public:
    virtual ~BreakpointControl() = default;
    // The offset of the first character of `line`, or -1 when there is no
    // such line.
    virtual std::int32_t lineStart(std::int32_t line) const = 0;
    // The line that holds `offset` (the end of the text belongs to the last).
    virtual std::int32_t lineOf(std::int32_t offset) const = 0;
    // The offset just behind the line break of the line holding `offset`
    // (the end of the text on the last line).
    virtual std::int32_t lineEnd(std::int32_t offset) const = 0;
    virtual void repaintBreakpoints() {}

    bool isLineStart(std::int32_t offset) const { return lineStart(lineOf(offset)) == offset; }
};

} // namespace qorvi
