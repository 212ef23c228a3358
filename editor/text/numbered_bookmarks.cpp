#include "editor/text/numbered_bookmarks.h"

#include "editor/support/rudivo_voru_error.h"

#include <algorithm>

namespace qorvi {

void NumberedBookmarks::checkIndex(int index) {
    if (index < 0 || index > 9)
        throw ERudivoVoru(kMsgBookmarkIndexRange);
}

TTextStore::LineInfo NumberedBookmarks::Find(int Index) const {
    checkIndex(Index);
    const std::uint16_t bit = static_cast<std::uint16_t>(1u << Index);
    std::int32_t number = 0;
    std::int32_t start = 0;
    for (TLine* line = store_.Buffer(); line; line = store_.Next(line), ++number) {
        if (line->MarkBits() & bit)
            return {line, number, start};
        start += line->Len();
    }
    return {};
}

bool NumberedBookmarks::SetBookmark(int Index, std::int32_t Line, std::int32_t Column, bool textLineStart) {
    checkIndex(Index);
    if (store_.NumLines() == 0)
        return false;
    const std::int32_t number = std::clamp(Line, 1, store_.NumLines());
    TLine* target = store_.LineFromLineIndex(number - 1).line;
    while (textLineStart && target->IsContinuation() && store_.Prev(target))
        target = store_.Prev(target);
    if (TLine* old = Find(Index).line) {
        old->SetMarkBits(static_cast<std::uint16_t>(old->MarkBits() & ~kBookmarkMask));
        old->AddFlags(lfRepaint);
        if (old == target)
            return false;
    }
    target->SetMarkBits(static_cast<std::uint16_t>((target->MarkBits() & ~kBookmarkMask) | (1u << Index)));
    target->AddFlags(lfRepaint);
    store_.SetBookmarkCol(Index, static_cast<std::uint16_t>(std::clamp(Column, 1, 0xFFFF)));
    return true;
}

bool NumberedBookmarks::IsBookmarkSet(int Index, std::int32_t& Line, std::int32_t& Column) const {
    checkIndex(Index);
    if (store_.GetBookmarkCol(Index) == 0)
        return false;
    TTextStore::LineInfo info = Find(Index);
    if (!info.line)
        return false;
    Line = info.index + 1;
    Column = std::min<std::int32_t>(store_.GetBookmarkCol(Index), info.line->Len());
    return true;
}

void NumberedBookmarks::ClearBookmark(int Index) {
    if (TLine* line = Find(Index).line) {
        line->SetMarkBits(static_cast<std::uint16_t>(line->MarkBits() & ~kBookmarkMask));
        line->AddFlags(lfRepaint);
    }
}

} // namespace qorvi
