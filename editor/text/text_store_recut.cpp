// Re-cutting a text line into records of new lengths, for word wrap. The
// text stays as it is; only where its records end changes.

#include "editor/text/text_store.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace qorvi {

TLine* TTextStore::RecutLine(TLine* first, const std::vector<std::uint16_t>& lengths) {
    if (!first || first->IsContinuation() || lengths.empty())
        return nullptr;
    std::vector<TLine*> rows;
    std::size_t total = 0;
    for (TLine* row = first; row; row = Next(row)) {
        rows.push_back(row);
        total += row->Len();
        if (row->EndsWithCR())
            break;
    }
    std::size_t wanted = 0;
    for (std::uint16_t len : lengths) {
        if (len < 1 || len > kMaxLineLen)
            return nullptr;
        wanted += len;
    }
    if (wanted != total)
        return nullptr;
    if (rows.size() == lengths.size() &&
        std::equal(rows.begin(), rows.end(), lengths.begin(),
                   [](const TLine* row, std::uint16_t len) { return row->Len() == len; }))
        return rows.back();

    std::string text;
    std::string styles;
    text.reserve(total);
    bool styled = true;
    std::uint32_t parseFlags = 0;
    // Each numbered bookmark stays with the character its record began with.
    std::vector<std::pair<std::size_t, std::uint16_t>> bookmarks;
    for (TLine* row : rows) {
        if (const std::uint16_t bits = row->MarkBits() & kBookmarkMask)
            bookmarks.emplace_back(text.size(), bits);
        text.append(row->Text(), row->Len());
        if (row->IsStyled())
            styles.append(reinterpret_cast<const char*>(LineStyles(*row).data()), row->Len());
        else
            styled = false;
        parseFlags |= row->Flags() & (lfChanged | lfParseStart);
    }
    // The offsets of every record but the first change.
    if (topLine_ && std::find(rows.begin() + 1, rows.end(), topLine_) != rows.end())
        topLine_ = nullptr;

    std::vector<TLine*> made;
    std::vector<std::size_t> starts;
    made.reserve(lengths.size());
    starts.reserve(lengths.size());
    std::size_t pos = 0;
    TLine* prev = nullptr;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const std::uint16_t len = lengths[i];
        TLine* row;
        if (i < rows.size()) {
            row = rows[i];
            chain_->splice(row, 0, row->Len(), text.data() + pos, len);
        } else {
            row = chain_->insertAfter(prev, text.data() + pos, len);
        }
        if (styled)
            chain_->setStyles(row, reinterpret_cast<const std::uint8_t*>(styles.data()) + pos);
        else
            row->DropStyles();
        std::uint32_t flags =
            (row->Flags() & ~(lfHasTab | lfChanged | lfParseStart)) | lfRepaint | parseFlags;
        if (std::memchr(text.data() + pos, '\t', len))
            flags |= lfHasTab;
        row->SetFlags(flags);
        std::uint16_t marks =
            row->MarkBits() & static_cast<std::uint16_t>(~(kBookmarkMask | kContinuationMark));
        if (i > 0)
            marks |= kContinuationMark;
        row->SetMarkBits(marks);
        made.push_back(row);
        starts.push_back(pos);
        prev = row;
        pos += len;
    }
    for (std::size_t i = lengths.size(); i < rows.size(); ++i)
        eraseRecord(rows[i]);
    for (const auto& [offset, bits] : bookmarks) {
        const auto k = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                                starts.begin()) -
                       1;
        // A record carries at most one numbered bookmark: the first wins.
        if ((made[k]->MarkBits() & kBookmarkMask) == 0)
            made[k]->SetMarkBits(static_cast<std::uint16_t>(made[k]->MarkBits() | bits));
    }
    return made.back();
}

} // namespace qorvi
