#pragma once

// Named bookmarks of a text store: a sorted list of names, each with a
// character offset, and beside it a chain of the same records in offset
// order, through which edits move them. A bookmark inside deleted text is
// removed, and the free notification tells the control its name.

#include "editor/marks/offset_index.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

class TStream;
class TCustomBookmarks;

struct TCustBookmark : OffsetIndex::Entry {
    std::string Name;
};

using TCustomBookmarkFreeEvent = std::function<void(TCustomBookmarks* Sender, const std::string& bmName)>;

class TCustomBookmarks {
public:
    TCustomBookmarks() = default;
    virtual ~TCustomBookmarks();
    TCustomBookmarks(const TCustomBookmarks&) = delete;
    TCustomBookmarks& operator=(const TCustomBookmarks&) = delete;

    // Bound by the control to its OnCustomBookmarkFree event.
    void SetOnFree(TCustomBookmarkFreeEvent onFree) { onFree_ = std::move(onFree); }

    // A bookmark of the same name goes first (without notification); the
    // new one is linked in offset order in front of those at the same
    // offset.
    void AddBookmark(const std::string& Name, std::int32_t Offset);
    // Unlinks and frees it, without notification.
    void DeleteBookmark(const std::string& Name);
    // Its offset, or -1.
    std::int32_t SeekBookmarkByName(const std::string& Name) const;
    // The names in sorted order with their offsets.
    std::vector<std::pair<std::string, std::int32_t>> RetrieveBookmarks() const;
    // Frees all, firing the free notification for each.
    void ClearAll();
    std::size_t Count() const { return byName_.size(); }

    // The chain in offset order.
    TCustBookmark* First() const { return static_cast<TCustBookmark*>(chain_.first()); }
    TCustBookmark* Next(const TCustBookmark* bm) const {
        return static_cast<TCustBookmark*>(chain_.next(bm));
    }
    static std::int32_t OffsetOf(const TCustBookmark* bm) { return OffsetIndex::startOf(bm); }

    // `Count` characters were inserted at `Pos`: offsets from Pos on move.
    void Adding(std::int32_t Count, std::int32_t Pos);
    // [Pos, Pos + Count) is being deleted: bookmarks inside go (with the
    // free notification), later ones move back.
    void Removing(std::int32_t Count, std::int32_t Pos);

    // Integer count, then per bookmark a short-string name and an integer
    // offset (little-endian). Names longer than 255 characters cannot be
    // written and raise EStreamError.
    void SaveToStream(TStream& stream) const;
    // Reads the whole list before adding any of it, so a damaged stream
    // raises EStreamError and changes nothing.
    void LoadFromStream(TStream& stream);

    const OffsetIndex& Index() const { return chain_; }

private:
    void unlinkAndFree(TCustBookmark* bm);

    std::map<std::string, TCustBookmark*> byName_;
    OffsetIndex chain_;
    TCustomBookmarkFreeEvent onFree_;
};

} // namespace qorvi
