#pragma once

// The ten numbered bookmarks of a text store: bit n of a record's MarkBits
// and the remembered one-based column BookmarkCol[n]. A record carries at
// most one numbered bookmark. The bits live in the records, so bookmarks
// move with their text at no cost and go with a deleted record.
//
// Line numbers are one-based record numbers; the control resolves "the
// caret's line" and word-wrap rows before calling.

#include "editor/text/text_store.h"

#include <cstdint>

namespace qorvi {

inline constexpr const char* kMsgBookmarkIndexRange = "Bookmark index range error";

class NumberedBookmarks {
public:
    explicit NumberedBookmarks(TTextStore& store) : store_(store) {}

    // Puts bookmark `Index` on record `Line` (below 1 counts as 1, past the
    // last as the last) at `Column` (below 1 counts as 1). When the
    // bookmark already stands on that record it is removed instead, and the
    // result is false. With `textLineStart` the bookmark goes to the first
    // record of the text line (word wrap). Indexes outside 0-9 raise
    // ERudivoVoru "Bookmark index range error" (as do those of every
    // operation here).
    bool SetBookmark(int Index, std::int32_t Line, std::int32_t Column, bool textLineStart = false);
    // The record number and the column (limited to the record's length).
    bool IsBookmarkSet(int Index, std::int32_t& Line, std::int32_t& Column) const;
    void ClearBookmark(int Index);
    // The record carrying the bookmark (line null when none).
    TTextStore::LineInfo Find(int Index) const;

private:
    static void checkIndex(int index);
    TTextStore& store_;
};

} // namespace qorvi
