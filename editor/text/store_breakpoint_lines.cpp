#include "editor/text/store_breakpoint_lines.h"

#include "editor/text/text_store.h"

namespace qorvi {

std::int32_t StoreBreakpointLines::lineStart(std::int32_t line) const {
    if (line < 1 || line > store_.NumLines())
        return line == 1 ? 0 : -1; // an empty text still has its first line
    return store_.LineFromLineIndex(line - 1).start;
}

std::int32_t StoreBreakpointLines::lineOf(std::int32_t offset) const {
    if (store_.NumLines() == 0)
        return 1;
    return store_.InfoFromIndex(offset).index + 1;
}

std::int32_t StoreBreakpointLines::lineEnd(std::int32_t offset) const {
    if (store_.NumLines() == 0)
        return 0;
    TTextStore::LineInfo info = store_.InfoFromIndex(offset);
    return info.start + info.line->Len();
}

} // namespace qorvi
