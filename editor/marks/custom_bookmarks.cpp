#include "editor/marks/custom_bookmarks.h"

#include "editor/support/stream.h"

#include <algorithm>
#include <cstdio>

namespace qorvi {

namespace {

void writeInt(TStream& stream, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    stream.WriteBuffer(bytes, 4);
}

std::int32_t readInt(TStream& stream) {
    std::uint8_t bytes[4];
    stream.ReadBuffer(bytes, 4);
    return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}

} // namespace

TCustomBookmarks::~TCustomBookmarks() {
    chain_.clear();
    for (auto& [name, bm] : byName_)
        delete bm;
}

void TCustomBookmarks::unlinkAndFree(TCustBookmark* bm) {
    chain_.remove(bm);
    byName_.erase(bm->Name);
    delete bm;
}

void TCustomBookmarks::AddBookmark(const std::string& Name, std::int32_t Offset) {
    DeleteBookmark(Name);
    auto* bm = new TCustBookmark;
    bm->Name = Name;
    const std::int32_t at = std::max(Offset, 0);
    chain_.insert(bm, at, at, false);
    byName_.emplace(Name, bm);
}

void TCustomBookmarks::DeleteBookmark(const std::string& Name) {
    auto it = byName_.find(Name);
    if (it != byName_.end())
        unlinkAndFree(it->second);
}

std::int32_t TCustomBookmarks::SeekBookmarkByName(const std::string& Name) const {
    auto it = byName_.find(Name);
    return it == byName_.end() ? -1 : OffsetIndex::startOf(it->second);
}

std::vector<std::pair<std::string, std::int32_t>> TCustomBookmarks::RetrieveBookmarks() const {
    std::vector<std::pair<std::string, std::int32_t>> list;
    list.reserve(byName_.size());
    for (const auto& [name, bm] : byName_)
        list.emplace_back(name, OffsetIndex::startOf(bm));
    return list;
}

void TCustomBookmarks::ClearAll() {
    std::vector<TCustBookmark*> all;
    for (auto& [name, bm] : byName_)
        all.push_back(bm);
    chain_.clear();
    byName_.clear();
    for (TCustBookmark* bm : all) {
        if (onFree_)
            onFree_(this, bm->Name);
        delete bm;
    }
}

void TCustomBookmarks::Adding(std::int32_t Count, std::int32_t Pos) {
    if (Count > 0)
        chain_.shiftFrom(chain_.lowerBound(Pos), Count);
}

void TCustomBookmarks::Removing(std::int32_t Count, std::int32_t Pos) {
    if (Count <= 0)
        return;
    const std::int64_t stop = static_cast<std::int64_t>(Pos) + Count;
    std::vector<TCustBookmark*> gone;
    auto* bm = static_cast<TCustBookmark*>(chain_.lowerBound(Pos));
    while (bm && OffsetIndex::startOf(bm) < stop) {
        auto* next = static_cast<TCustBookmark*>(chain_.next(bm));
        chain_.remove(bm);
        byName_.erase(bm->Name);
        gone.push_back(bm);
        bm = next;
    }
    chain_.shiftFrom(bm, -Count);
    // The list is consistent before the control hears of the removals.
    for (TCustBookmark* g : gone) {
        if (onFree_)
            onFree_(this, g->Name);
        delete g;
    }
}

void TCustomBookmarks::SaveToStream(TStream& stream) const {
    writeInt(stream, static_cast<std::int32_t>(byName_.size()));
    for (const auto& [name, bm] : byName_) {
        if (name.size() > 255) {
            char message[96];
            std::snprintf(message, sizeof message, "String too long for a short string field (%d characters)",
                          static_cast<int>(name.size()));
            throw EStreamError(message);
        }
        const auto length = static_cast<std::uint8_t>(name.size());
        stream.WriteBuffer(&length, 1);
        stream.WriteBuffer(name.data(), length);
        writeInt(stream, OffsetIndex::startOf(bm));
    }
}

void TCustomBookmarks::LoadFromStream(TStream& stream) {
    const std::int32_t count = readInt(stream);
    if (count < 0)
        throw EStreamError("Invalid data in stream");
    std::vector<std::pair<std::string, std::int32_t>> read;
    // Each entry takes at least five bytes; a count the stream cannot hold
    // fails at the first short read without a huge reservation.
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t length = 0;
        stream.ReadBuffer(&length, 1);
        std::string name(length, '\0');
        stream.ReadBuffer(name.data(), length);
        const std::int32_t offset = readInt(stream);
        read.emplace_back(std::move(name), offset);
    }
    for (const auto& [name, offset] : read)
        AddBookmark(name, offset);
}

} // namespace qorvi
